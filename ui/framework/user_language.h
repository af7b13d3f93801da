#pragma once

namespace dlg {

// Whether the user reads Chinese, by the locale the environment names (LC_ALL, LC_MESSAGES,
// LANG, the first one set and not empty, as the C library takes them): the language of what the
// program prints before it has a window. The windows themselves always speak Chinese.
bool UserReadsChinese();

}  // namespace dlg
