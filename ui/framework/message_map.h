#pragma once

#include <span>
#include <type_traits>
#include <vector>

#include "ui/framework/messages.h"

namespace dlg {

class CCmdTarget;

// One row of a message map: the message (and for WM_COMMAND the notification and the control)
// and the member that handles it. Exactly one handler is set, by the Map* helpers below.
struct MessageMapEntry {
    unsigned message = 0;
    unsigned code = 0;
    int id = 0;
    void (CCmdTarget::*onVoid)() = nullptr;
    void (CCmdTarget::*onSysCommand)(unsigned, LParam) = nullptr;
    HIcon (CCmdTarget::*onQueryIcon)() = nullptr;
};

// A class's own table, chained to its base class's table.
struct MessageMap {
    const MessageMap* (*base)() = nullptr;
    std::span<const MessageMapEntry> entries;
};

// Anything that handles messages through a message map.
class CCmdTarget {
  public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Runs the first handler in the chain of maps that matches; false when none does.
    bool OnWndMsg(unsigned message, WParam wParam, LParam lParam, LResult& result);

    static const MessageMap* GetThisMessageMap();

  protected:
    virtual const MessageMap* GetMessageMap() const { return GetThisMessageMap(); }
};

// A class's message map in one form. In the class, DECLARE_MESSAGE_MAP() declares the class's own
// table and the override through which the layer finds it (and leaves the class's access
// protected); in its source, DEFINE_MESSAGE_MAP(Class, Base, entries...) defines the table, chained
// to Base's, and fails to compile when the class does not declare its map so.
#define DECLARE_MESSAGE_MAP()                                 \
  public:                                                     \
    static const ::dlg::MessageMap* GetThisMessageMap();      \
                                                              \
  protected:                                                  \
    const ::dlg::MessageMap* GetMessageMap() const override { \
        return GetThisMessageMap();                           \
    }

#define DEFINE_MESSAGE_MAP(theClass, baseClass, ...)                                     \
    const ::dlg::MessageMap* theClass::GetThisMessageMap() {                             \
        static_assert(std::is_same_v<decltype(&theClass::GetMessageMap),                 \
                                     const ::dlg::MessageMap* (theClass::*)() const>,    \
                      #theClass " declares its message map with DECLARE_MESSAGE_MAP()"); \
        static const std::vector<::dlg::MessageMapEntry> entries{__VA_ARGS__};           \
        static const ::dlg::MessageMap map{&baseClass::GetThisMessageMap, entries};      \
        return &map;                                                                     \
    }

template <class T>
inline MessageMapEntry MapCommand(int id, void (T::*handler)()) {
    return {WM_COMMAND_MESSAGE, BUTTON_CLICKED, id, static_cast<void (CCmdTarget::*)()>(handler)};
}

template <class T>
inline MessageMapEntry MapClicked(int id, void (T::*handler)()) {
    return MapCommand(id, handler);
}

// A field's text changed, by the user or by the program (EN_CHANGE).
template <class T>
inline MessageMapEntry MapChanged(int id, void (T::*handler)()) {
    return {WM_COMMAND_MESSAGE, EDIT_CHANGED, id, static_cast<void (CCmdTarget::*)()>(handler)};
}

template <class T>
inline MessageMapEntry MapSysCommand(void (T::*handler)(unsigned, LParam)) {
    MessageMapEntry entry{WM_SYSCOMMAND_MESSAGE};
    entry.onSysCommand = static_cast<void (CCmdTarget::*)(unsigned, LParam)>(handler);
    return entry;
}

template <class T>
inline MessageMapEntry MapPaint(void (T::*handler)()) {
    return {WM_PAINT_MESSAGE, 0, 0, static_cast<void (CCmdTarget::*)()>(handler)};
}

template <class T>
inline MessageMapEntry MapQueryDragIcon(HIcon (T::*handler)()) {
    MessageMapEntry entry{WM_QUERYDRAGICON_MESSAGE};
    entry.onQueryIcon = static_cast<HIcon (CCmdTarget::*)()>(handler);
    return entry;
}

}  // namespace dlg
