#include "ui/settings_messages.h"

std::string WhereSaved(const char* path, trellan::NoSavePath noSavePath) {
    if (*path != '\0') {
        return std::string("“") + path + "”";
    }
    switch (noSavePath) {
        case trellan::NoSavePath::NoUserFolder:
            return std::string("（找不到您的用户文件夹：") + trellan::USER_FOLDER_VARIABLE +
                   " 未设为绝对路径）";
        case trellan::NoSavePath::PathTooLong:
            return "（设置文件的路径太长）";
        case trellan::NoSavePath::ExecutableUnknown:
        case trellan::NoSavePath::None:
            break;
    }
    return "（找不到程序所在的文件夹）";
}

std::string CauseText(trellan::FileError error) {
    using trellan::FileError;
    switch (error) {
        case FileError::None:
            return {};
        case FileError::NoPermission:
            return "没有访问权限";
        case FileError::ReadOnlyFileSystem:
            return "文件系统只读";
        case FileError::DiskFull:
            return "磁盘已满";
        case FileError::PathTooLong:
            return "路径过长";
        case FileError::NotAFile:
            return "这不是一个普通文件";
        case FileError::TooLarge:
            return "文件过大";
        case FileError::Busy:
            return "文件正被另一个程序或本程序的另一个副本占用";
        case FileError::Other:
            break;
    }
    return "读写出错";
}

std::string SaveFailedMessage(const char* path, trellan::NoSavePath noSavePath,
                              trellan::FileError error) {
    const std::string cause = CauseText(error);
    return "无法把费率保存到设置文件" + WhereSaved(path, noSavePath) +
           (cause.empty() || *path == '\0' ? "" : "：" + cause) + "。新的费率仅在本次运行中有效。";
}

std::string UnreadableMessage(const char* path, trellan::FileError error) {
    return "无法读取设置文件“" + std::string(path) + "”：" + CauseText(error) +
           "。本次运行使用默认费率，该文件保持不变。";
}
