// The shared scenarios' calls on Qt: widgets found by the identifiers' names, which the backend
// gives them as object names, and driven with QTest's events. And what only the Qt backend has:
// the system menu, which the window manager does not show for us, and the window's icons.
#include <cmath>
#include <future>
#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTest>
#include <QWindow>

#include "res/app_icon.h"
#include "res/dialog_template.h"
#include "res/resource_ids.h"

#include "ui/profit_calc_dlg.h"
#include "ui/qt/app_icon_image.h"

#include "gui/window_driver.h"

namespace gui {
namespace {

// Runs task on the widgets' thread later, for a step that may open a modal window.
template <class Task>
void Later(Task task) {
    QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
}

// Runs task on the widgets' thread and returns its result, or a default one (with a failure)
// when it has not run in time.
template <class Task>
auto OnGui(Task task) {
    auto packaged = std::make_shared<std::packaged_task<decltype(task())()>>(std::move(task));
    auto result = packaged->get_future();
    Later([packaged] { (*packaged)(); });
    if (result.wait_for(std::chrono::seconds(15)) != std::future_status::ready) {
        ADD_FAILURE() << "the window did not answer";
        return decltype(task())();
    }
    return result.get();
}

QWidget* Widget(Window dialog) {
    return static_cast<QWidget*>(const_cast<void*>(dialog));
}

// Found by its identifier's name, the same in every template (IDOK is IDOK).
template <class Control = QWidget>
Control* Item(Window dialog, int id) {
    for (const res::DialogTemplate* layout : res::AllDialogTemplates()) {
        for (const res::ControlTemplate& control : layout->controls) {
            if (control.id == id && !control.idName.empty()) {
                return Widget(dialog)->findChild<Control*>(QString::fromUtf8(control.idName));
            }
        }
    }
    return nullptr;
}

QWidget* ActiveModal() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr && modal->isVisible() ? modal : nullptr;
}

QMenu* SystemMenuOf(Window dialog) {
    return Widget(dialog)->findChild<QMenu*>(QStringLiteral("systemMenu"));
}

}  // namespace

Window ActiveDialog() {
    return OnGui([] { return static_cast<Window>(ActiveModal()); });
}

int OpenWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return static_cast<int>(QApplication::topLevelWidgets().size());
}

void HandleEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

std::string AcceptMessage() {
    QMessageBox* box = nullptr;
    int quiet = 0;
    // Each poll runs on the widgets' thread behind every task queued before it.
    WaitUntil([&] {
        box = OnGui([] { return qobject_cast<QMessageBox*>(ActiveModal()); });
        quiet = box != nullptr ? 0 : quiet + 1;
        return box != nullptr || quiet == SETTLED;
    });
    if (box == nullptr) {
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

bool Checked(Window dialog, int id) {
    return OnGui([dialog, id] { return Item<QAbstractButton>(dialog, id)->isChecked(); });
}

bool Enabled(Window dialog, int id) {
    return OnGui([dialog, id] { return Item(dialog, id)->isEnabled(); });
}

bool HasFocus(Window dialog, int id) {
    return OnGui([dialog, id] { return Widget(dialog)->focusWidget() == Item(dialog, id); });
}

std::string SelectedText(Window dialog, int id) {
    return OnGui(
        [dialog, id] { return Item<QLineEdit>(dialog, id)->selectedText().toStdString(); });
}

std::string Tooltip(Window dialog, int id) {
    return OnGui([dialog, id] { return Item(dialog, id)->toolTip().toStdString(); });
}

// In the style's light palette and in a dark one, as a dark desktop theme gives.
std::vector<std::vector<std::uint32_t>> Shots(Window dialog, int id) {
    return OnGui([dialog, id] {
        std::vector<std::vector<std::uint32_t>> shots;
        for (const QPalette& palette :
             {QApplication::style()->standardPalette(), QPalette(QColor(0x35, 0x35, 0x35))}) {
            Widget(dialog)->setPalette(palette);
            QWidget* field = Item(dialog, id);
            const QImage shot = field->grab(field->rect().adjusted(3, 3, -3, -3))
                                    .toImage()
                                    .convertToFormat(QImage::Format_RGB32);
            const auto* pixels = reinterpret_cast<const std::uint32_t*>(shot.constBits());
            shots.emplace_back(pixels, pixels + shot.width() * shot.height());
        }
        return shots;
    });
}

namespace {

// The rectangle a button draws its text in, as its style lays the button out.
QRect ButtonTextRoom(QAbstractButton& button) {
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    QStyleOptionButton option;
    if (auto* push = qobject_cast<QPushButton*>(&button)) {
        QStyleOptionButton pushed;
        option.initFrom(push);
        option.features = push->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
    } else {
        option.initFrom(&button);
        contents = qobject_cast<QRadioButton*>(&button) != nullptr ? QStyle::SE_RadioButtonContents
                                                                   : QStyle::SE_CheckBoxContents;
    }
    option.text = button.text();
    return button.style()->subElementRect(contents, &option, &button);
}

// Lines are a line spacing apart; the last is as high as the font.
TextFit Measure(QWidget& control, const QString& text, const QRect& room, int flags) {
    const QFontMetrics metrics(control.font());
    const QRect laidOut =
        metrics.boundingRect(QRect(0, 0, room.width(), room.height()), flags, text);
    const int lines = (laidOut.height() + metrics.lineSpacing() / 2) / metrics.lineSpacing();
    return {
        text.toStdString(), laidOut.width(), (lines - 1) * metrics.lineSpacing() + metrics.height(),
        room.width(),       room.height(),   metrics.size(flags & ~Qt::TextWordWrap, text).width()};
}

}  // namespace

std::vector<TextFit> TextFits(Window dialog) {
    return OnGui([dialog] {
        std::vector<TextFit> fits;
        for (QWidget* control : Widget(dialog)->findChildren<QWidget*>()) {
            auto* label = qobject_cast<QLabel*>(control);
            auto* button = qobject_cast<QAbstractButton*>(control);
            if (label != nullptr && !label->text().isEmpty()) {
                const int wrap = label->wordWrap() ? Qt::TextWordWrap : 0;
                fits.push_back(Measure(*label, label->text(), label->contentsRect(),
                                       static_cast<int>(label->alignment()) | wrap));
            } else if (button != nullptr && !button->text().isEmpty()) {
                fits.push_back(Measure(*button, button->text(), ButtonTextRoom(*button),
                                       Qt::TextShowMnemonic));
            }
        }
        return fits;
    });
}

// Keys for ASCII; what lies beyond comes as an input method commits it (full-width forms).
void Type(Window dialog, int id, std::string_view text) {
    OnGui([dialog, id, typed = QString::fromUtf8(text)] {
        auto* field = Item<QLineEdit>(dialog, id);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        for (const QChar c : typed) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(field, c.toLatin1());
                continue;
            }
            QInputMethodEvent committed;
            committed.setCommitString(c);
            QApplication::sendEvent(field, &committed);
        }
    });
}

void Click(Window dialog, int id, bool later) {
    const auto click = [dialog, id] {
        QTest::mouseClick(Item<QAbstractButton>(dialog, id), Qt::LeftButton);
    };
    later ? Later(click) : OnGui(click);
}

void Focus(Window dialog, int id) {
    OnGui([dialog, id] { Item(dialog, id)->setFocus(Qt::TabFocusReason); });
}

void Press(Key key, bool later) {
    const auto press = [key] {
        QWidget* modal = ActiveModal();
        QWidget* focus =
            modal != nullptr && modal->focusWidget() != nullptr ? modal->focusWidget() : modal;
        constexpr Qt::Key KEYS[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Right,  Qt::Key_Tab,
                                    Qt::Key_Space,  Qt::Key_Left,   Qt::Key_Backtab};
        QTest::keyClick(focus, KEYS[static_cast<int>(key)],
                        key == Key::BackTab ? Qt::ShiftModifier : Qt::NoModifier);
    };
    later ? Later(press) : OnGui(press);
}

void CloseBoxLater(Window dialog) {
    Later([dialog] {
        if (QApplication::topLevelWidgets().contains(Widget(dialog))) {
            Widget(dialog)->close();
        }
    });
}

// The item that carries the command, as the user picks it.
void SystemCommandLater(Window dialog, unsigned command) {
    Later([dialog, command] {
        for (QAction* action : SystemMenuOf(dialog)->actions()) {
            if (!action->isSeparator() && action->data().toUInt() == (command & 0xFFF0)) {
                action->trigger();
            }
        }
    });
}

namespace {

// The system menu pops up with a right click, Shift+F10 or Alt+Space, and its items answer their
// mnemonics.
TEST(QtCalculator, SystemMenuPopsUpAndItsMnemonicShowsTheAboutBox) {
    const std::function<void(QWidget*)> popups[] = {
        [](QWidget* dialog) {
            QTest::mouseClick(dialog->windowHandle(), Qt::RightButton, {}, QPoint(5, 5));
        },
        [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_F10, Qt::ShiftModifier); },
        [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Space, Qt::AltModifier); }};
    for (const auto& popup : popups) {
        SCOPED_TRACE(&popup - popups);
        CProfitCalcDlg calculator;
        RunDriven(calculator, [&popup](Window dialog) {
            Later([&popup, dialog] { popup(Widget(dialog)); });
            EXPECT_TRUE(WaitUntil([dialog] {
                return OnGui([dialog] { return SystemMenuOf(dialog)->isVisible(); });
            }));
            Later([dialog] { QTest::keyClick(SystemMenuOf(dialog), Qt::Key_A); });
            const Window box = WaitForDialog(dialog);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(Caption(box), "关于 Quorim");
        });
    }
}

// The window carries the icon at each size a desktop may show, drawn when the program was built:
// pixel for pixel what the vector source draws now.
TEST(QtCalculator, CarriesItsIconAtEverySize) {
    CProfitCalcDlg calculator;
    RunDriven(calculator, [](Window dialog) {
        const QIcon icon = OnGui([dialog] { return Widget(dialog)->windowIcon(); });
        for (const std::size_t side : res::WINDOW_ICON_SIZES) {
            const QSize size(static_cast<int>(side), static_cast<int>(side));
            EXPECT_EQ(icon.pixmap(size).toImage(), QPixmap::fromImage(AppIconImage(side)).toImage())
                << side;
        }
    });
}

// A flat button reached by Tab shows the focus, in every style Qt offers here (Fusion, its
// default, draws a push button's focus into the frame that a flat one has not).
TEST(QtCalculator, FlatButtonsShowTheFocusInEveryStyle) {
    const QString usual = QApplication::style()->name();
    for (const QString& style : QStyleFactory::keys()) {
        SCOPED_TRACE(style.toStdString());
        QApplication::setStyle(style);
        CProfitCalcDlg calculator;
        RunDriven(calculator, [](Window dialog) {
            const auto grab = [dialog](int id) {
                return OnGui([dialog, id] { return Item(dialog, id)->grab().toImage(); });
            };
            for (const auto& [before, flat] : {std::pair{res::IDC_EXCHANGE_A, res::IDC_SETTINGS},
                                               std::pair{res::IDC_ABOUT, res::IDC_DETAILS}}) {
                const QImage unfocused = grab(flat);
                Focus(dialog, before);
                Press(Key::Tab);
                ASSERT_TRUE(HasFocus(dialog, flat));
                EXPECT_NE(grab(flat), unfocused);
            }
        });
    }
    QApplication::setStyle(usual);
}

// The About box's icon is drawn from its vector source for the screen's device pixel ratio
// (the runs at 1.25x and 2x), not stretched from its 32-pixel image: where that drawing is
// opaque, the screen shows its very pixels.
TEST(QtEveryScreen, AboutIconIsDrawnForTheRatio) {
    CProfitCalcDlg calculator;
    RunDriven(calculator, [](Window dialog) {
        Click(dialog, res::IDC_ABOUT, true);
        const Window box = WaitForDialog(dialog);
        ASSERT_NE(box, nullptr);
        const auto [shot, ratio] = OnGui([box] {
            QLabel* icon = nullptr;
            for (QLabel* label : Widget(box)->findChildren<QLabel*>()) {
                icon = label->pixmap().isNull() ? icon : label;
            }
            return std::pair{icon->grab().toImage().convertToFormat(QImage::Format_RGB32),
                             icon->devicePixelRatioF()};
        });
        const auto side = static_cast<std::size_t>(std::lround(32 * ratio));
        ASSERT_EQ(shot.width(), static_cast<int>(side));
        const std::vector<std::uint32_t> drawn = res::AppIconImage(side);
        int different = 0;
        for (std::size_t at = 0; at < drawn.size(); ++at) {
            const auto x = static_cast<int>(at % side);
            const auto y = static_cast<int>(at / side);
            different += drawn[at] >> 24 == 0xFF && shot.pixel(x, y) != drawn[at];
        }
        EXPECT_EQ(different, 0) << "at a ratio of " << ratio;
    });
}

}  // namespace
}  // namespace gui
