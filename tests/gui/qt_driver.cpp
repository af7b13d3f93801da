// The shared scenarios' calls on Qt: widgets found by the identifiers' names, which the backend
// gives them as object names, and driven with QTest's events.
#include "gui/qt_driver.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

#include "res/dialog_template.h"

#include "ui/framework/toolkit.h"

#include "gui/window_driver.h"

namespace gui {
namespace {

using qt::Later;
using qt::OnGui;

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* Widget(Window dialog) {
    return static_cast<QWidget*>(const_cast<void*>(dialog));
}

// A control of any template; every identifier has one name in all of them (IDOK is IDOK).
template <class Matches>
const res::ControlTemplate* FindControl(Matches matches) {
    for (const res::DialogTemplate* layout : res::AllDialogTemplates()) {
        for (const res::ControlTemplate& control : layout->controls) {
            if (!control.idName.empty() && matches(control)) {
                return &control;
            }
        }
    }
    return nullptr;
}

template <class Control = QWidget>
Control* Item(Window dialog, int id) {
    const res::ControlTemplate* control = FindControl([id](const auto& c) { return c.id == id; });
    return Widget(dialog)->findChild<Control*>(ToQString(control->idName));
}

QWidget* ActiveModal() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr && modal->isVisible() ? modal : nullptr;
}

bool IsOpen(Window dialog) {
    return QApplication::topLevelWidgets().contains(Widget(dialog)) && Widget(dialog)->isVisible();
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + qt::WAIT_LIMIT;
    while (!done() && std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

int RunDriven(dlg::CDialog& dialog, const std::function<void(Window)>& steps) {
    std::atomic<bool> ended = false;
    std::atomic<bool> driven = false;
    std::thread driver([&] {
        if (const Window window = WaitForDialog(nullptr)) {
            steps(window);
        }
        // Whatever the steps left open is closed, innermost first, as the close box does.
        while (!ended) {
            Later([] {
                if (QWidget* modal = ActiveModal()) {
                    modal->close();
                }
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        driven = true;
    });
    const int result = dialog.DoModal();
    ended = true;
    while (!driven) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    driver.join();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), 0) << "a window was left behind";
    return result;
}

Window WaitForDialog(Window current) {
    Window found = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
        found = OnGui([] { return static_cast<Window>(ActiveModal()); });
        return found != nullptr && found != current;
    })) << "no other dialog appeared";
    return found == current ? nullptr : found;
}

bool WaitForReturnTo(Window dialog) {
    return WaitUntil([dialog] { return OnGui([] { return ActiveModal(); }) == dialog; });
}

bool WaitUntilClosed(Window dialog) {
    return WaitUntil([dialog] { return !OnGui([dialog] { return IsOpen(dialog); }); });
}

std::string AcceptMessage() {
    QMessageBox* box = nullptr;
    if (!WaitUntil([&] {
            return (box = OnGui([] { return qobject_cast<QMessageBox*>(ActiveModal()); }));
        })) {
        return {};
    }
    const std::string text = OnGui([box] { return box->text().toStdString(); });
    Later([box] { box->buttons().constFirst()->click(); });
    EXPECT_TRUE(WaitUntilClosed(box));
    return text;
}

std::string Caption(Window dialog) {
    return OnGui([dialog] { return Widget(dialog)->windowTitle().toStdString(); });
}

std::string Text(Window dialog, int id) {
    return OnGui(
        [dialog, id] { return Item(dialog, id)->property("text").toString().toStdString(); });
}

bool HasLabel(Window dialog, std::string_view text) {
    return OnGui([dialog, wanted = ToQString(text)] {
        const QList<QLabel*> labels = Widget(dialog)->findChildren<QLabel*>();
        return std::any_of(labels.begin(), labels.end(),
                           [&](const QLabel* label) { return label->text() == wanted; });
    });
}

bool Checked(Window dialog, int id) {
    return OnGui([dialog, id] { return Item<QAbstractButton>(dialog, id)->isChecked(); });
}

bool Enabled(Window dialog, int id) {
    return OnGui([dialog, id] { return Item(dialog, id)->isEnabled(); });
}

int FocusedId(Window dialog) {
    return OnGui([dialog] {
        const QWidget* focus = Widget(dialog)->focusWidget();
        const res::ControlTemplate* control = FindControl([focus](const auto& c) {
            return focus != nullptr && focus->objectName() == ToQString(c.idName);
        });
        return control != nullptr ? control->id : 0;
    });
}

std::string SelectedText(Window dialog, int id) {
    return OnGui(
        [dialog, id] { return Item<QLineEdit>(dialog, id)->selectedText().toStdString(); });
}

std::vector<std::string> SystemMenu(Window dialog) {
    return OnGui([dialog] {
        std::vector<std::string> items;
        for (const QAction* action :
             Widget(dialog)->findChild<QMenu*>(QStringLiteral("systemMenu"))->actions()) {
            items.push_back(action->text().toStdString());
        }
        return items;
    });
}

void Type(Window dialog, int id, std::string_view text) {
    OnGui([dialog, id, typed = ToQString(text)] {
        auto* field = Item<QLineEdit>(dialog, id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, typed);
    });
}

void Click(Window dialog, int id) {
    OnGui([dialog, id] { QTest::mouseClick(Item<QAbstractButton>(dialog, id), Qt::LeftButton); });
}

void ClickLater(Window dialog, int id) {
    Later([dialog, id] { QTest::mouseClick(Item<QAbstractButton>(dialog, id), Qt::LeftButton); });
}

void Focus(Window dialog, int id) {
    OnGui([dialog, id] { Item(dialog, id)->setFocus(Qt::TabFocusReason); });
}

namespace {

void KeyOnFocus(Key key) {
    QWidget* modal = ActiveModal();
    QWidget* focus =
        modal != nullptr && modal->focusWidget() != nullptr ? modal->focusWidget() : modal;
    constexpr Qt::Key KEYS[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Right,  Qt::Key_Tab,
                                Qt::Key_Space,  Qt::Key_Left,   Qt::Key_Backtab};
    QTest::keyClick(focus, KEYS[static_cast<int>(key)],
                    key == Key::BackTab ? Qt::ShiftModifier : Qt::NoModifier);
}

}  // namespace

void PressLater(Key key) {
    Later([key] { KeyOnFocus(key); });
}

void Press(Key key) {
    OnGui([key] { KeyOnFocus(key); });
}

void CloseBoxLater(Window dialog) {
    Later([dialog] { Widget(dialog)->close(); });
}

// The item that carries the command, as the user picks it.
void SystemCommandLater(Window dialog, unsigned command) {
    Later([dialog, command] {
        for (QAction* action :
             Widget(dialog)->findChild<QMenu*>(QStringLiteral("systemMenu"))->actions()) {
            if (!action->isSeparator() && action->data().toUInt() == (command & 0xFFF0)) {
                action->trigger();
            }
        }
    });
}

}  // namespace gui

namespace {

// Each run in a folder of its own, so that the Set.ini beside the executable is this run's: the
// test program starts a link to itself there and removes the folder when it ends.
constexpr char RUN_FOLDER[] = "TRELLAN_TEST_RUN_FOLDER";

int RunInOwnFolder(char** argv) {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    std::string folder = (self.parent_path() / "run-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        return 1;
    }
    const std::filesystem::path copy = std::filesystem::path(folder) / self.filename();
    std::error_code linked;
    std::filesystem::create_hard_link(self, copy, linked);
    if (linked) {
        std::filesystem::copy_file(self, copy);
    }
    ::setenv(RUN_FOLDER, folder.c_str(), 1);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execv(copy.c_str(), argv);
        ::_exit(127);
    }
    int status = 1;
    ::waitpid(child, &status, 0);
    std::filesystem::remove_all(folder);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv(RUN_FOLDER) == nullptr) {
        return RunInOwnFolder(argv);
    }
    testing::InitGoogleTest(&argc, argv);
    const dlg::Toolkit toolkit(argc, argv);  // as the program starts it
    return RUN_ALL_TESTS();
}
