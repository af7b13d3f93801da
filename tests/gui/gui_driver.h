#pragma once

#include <functional>
#include <utility>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

// Drives the real dialogs as a user does. A modal run blocks its caller, so every step that
// happens inside a dialog is queued before the dialog is opened and runs from its event loop.
namespace gui {

inline QWidget* ActiveModal() {
    return QApplication::activeModalWidget();
}

// Runs steps on the next modal window that is not `current`, as soon as it is up.
inline void OnNextModal(QWidget* current, std::function<void(QWidget*)> steps,
                        int triesLeft = 500) {
    QTimer::singleShot(10, qApp, [current, steps = std::move(steps), triesLeft]() mutable {
        QWidget* modal = ActiveModal();
        if (modal != nullptr && modal != current && modal->isVisible()) {
            steps(modal);
        } else if (triesLeft > 0) {
            OnNextModal(current, std::move(steps), triesLeft - 1);
        } else {
            QTest::qFail("the expected dialog did not appear", __FILE__, __LINE__);
            if (current != nullptr) {
                QMetaObject::invokeMethod(current, "reject", Qt::QueuedConnection);
            }
        }
    });
}

// Runs steps in the next dialog to appear, then closes it with Escape if the steps left it open
// (a failed check returns early from the steps).
inline void InNextDialog(std::function<void(QWidget*)> steps) {
    OnNextModal(ActiveModal(), [steps = std::move(steps)](QWidget* dialog) {
        steps(dialog);
        if (dialog->isVisible() && ActiveModal() == dialog) {
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
}

template <class Widget>
Widget* Find(QWidget* window, const char* name) {
    return window->findChild<Widget*>(QString::fromLatin1(name));
}

inline QLineEdit* Field(QWidget* window, const char* name) {
    return Find<QLineEdit>(window, name);
}

inline QAbstractButton* Button(QWidget* window, const char* name) {
    return Find<QAbstractButton>(window, name);
}

// The push button whose text is `text`, for buttons without an identifier of their own.
inline QAbstractButton* ButtonWithText(QWidget* window, const QString& text) {
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

inline QString Text(QWidget* window, const char* name) {
    if (auto* field = Field(window, name)) {
        return field->text();
    }
    auto* label = Find<QLabel>(window, name);
    return label != nullptr ? label->text() : QString();
}

// Replaces a field's text the way a user does: select all, then type.
inline void Type(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

// Closes the message box that is about to appear and hands over its text.
inline void AcceptNextMessage(QWidget* owner, QString* text) {
    OnNextModal(owner, [text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            QTest::qFail("a message was expected", __FILE__, __LINE__);
            return;
        }
        *text = box->text();
        box->buttons().constFirst()->click();
    });
}

}  // namespace gui
