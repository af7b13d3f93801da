#include "ui/qt/title_bar.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QShortcut>
#include <QWidget>
#include <QWindow>

namespace dlg::qt {
namespace {

constexpr int BORDER = 1;
constexpr int PADDING = 6;
constexpr int ICON = 16;

QColor Halfway(const QColor& from, const QColor& to) {
    return QColor::fromRgbF((from.redF() + to.redF()) / 2, (from.greenF() + to.greenF()) / 2,
                            (from.blueF() + to.blueF()) / 2);
}

// The close box: a cross in the text colour, on a shade while the pointer is over it.
class CloseBox final : public QAbstractButton {
  public:
    explicit CloseBox(QWidget* parent) : QAbstractButton(parent) {
        setObjectName(QStringLiteral("closeBox"));
        setAttribute(Qt::WA_Hover);
        // As on the platform it imitates: the close box is for the mouse; Escape, Alt+F4 and
        // the system menu are the keyboard's.
        setFocusPolicy(Qt::NoFocus);
        setAccessibleName(QStringLiteral("关闭"));
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        if (isDown() || underMouse()) {
            painter.fillRect(rect(), palette().color(isDown() ? QPalette::Dark : QPalette::Mid));
        }
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
        const qreal arm = height() / 6.0;
        const QPointF centre = QRectF(rect()).center();
        painter.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
        painter.drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));
    }
};

// The bar and the border, one widget behind the window's contents: its mask leaves the contents
// to the window, so clicks there go where they always went.
class TitleBar final : public QWidget {
  public:
    explicit TitleBar(QWidget& window);

    int Height() const;
    void Place();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QRect Bar() const;

    QWidget& m_window;
    CloseBox* m_close;
};

TitleBar::TitleBar(QWidget& window)
    : QWidget(&window), m_window(window), m_close(new CloseBox(this)) {
    setObjectName(QStringLiteral("titleBar"));
    // Closing asks the window, as the compositor's close does; the window decides how it ends.
    QObject::connect(m_close, &QAbstractButton::clicked, &window, &QWidget::close);
    window.installEventFilter(this);
}

int TitleBar::Height() const {
    return std::max(fontMetrics().height(), ICON) + 2 * PADDING;
}

QRect TitleBar::Bar() const {
    return {BORDER, BORDER, width() - 2 * BORDER, m_window.contentsMargins().top() - BORDER};
}

void TitleBar::Place() {
    setGeometry(m_window.rect());
    setMask(QRegion(rect()).subtracted(QRegion(m_window.contentsRect())));
    const QRect bar = Bar();
    m_close->setGeometry(bar.right() + 1 - bar.height(), bar.top(), bar.height(), bar.height());
    lower();
}

bool TitleBar::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Resize:
            Place();
            break;
        case QEvent::WindowTitleChange:
        case QEvent::WindowIconChange:
        case QEvent::ActivationChange:
            update();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void TitleBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // A shade off the window's own colour, lighter on a dark theme and darker on a light one.
    const QColor window = palette().color(QPalette::Window);
    const bool dark = window.lightness() < 128;
    const QColor fill = dark ? window.lighter(140) : window.darker(110);
    painter.fillRect(rect(), fill);
    painter.setPen(dark ? window.lighter(220) : window.darker(170));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const QRect bar = Bar();
    const QRect icon(bar.left() + PADDING, bar.top() + (bar.height() - ICON) / 2, ICON, ICON);
    m_window.windowIcon().paint(&painter, icon);
    // The caption is centred on the bar, clear of the icon on one side and the close box on the
    // other, and shortened with an ellipsis when it does not fit.
    const int clearance = std::max(icon.right() + 1 + PADDING - bar.left(), bar.height());
    const QRect caption = bar.adjusted(clearance, 0, -clearance, 0);
    // An inactive window's caption is paler, halfway to the bar's colour, and still readable.
    const QColor ink = palette().color(QPalette::WindowText);
    painter.setPen(m_window.isActiveWindow() ? ink : Halfway(ink, fill));
    painter.drawText(
        caption, Qt::AlignCenter,
        fontMetrics().elidedText(m_window.windowTitle(), Qt::ElideRight, caption.width()));
}

void TitleBar::mousePressEvent(QMouseEvent* event) {
    QWindow* handle = m_window.windowHandle();
    if (event->button() == Qt::LeftButton && handle != nullptr &&
        Bar().contains(event->position().toPoint())) {
        // The compositor moves the window; a double click does nothing, as there is no
        // maximise to toggle.
        handle->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

// To assistive technology the bar reads as a program's own title bar reads on this desktop: a
// panel named after the caption, holding the close button. (Qt's title bar role would reach
// AT-SPI as a text.)
class TitleBarAccessible final : public QAccessibleWidget {
  public:
    explicit TitleBarAccessible(QWidget* bar) : QAccessibleWidget(bar, QAccessible::Pane) {}

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? widget()->window()->windowTitle()
                                         : QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* TitleBarInterface(const QString& /*className*/, QObject* object) {
    auto* bar = dynamic_cast<TitleBar*>(object);
    return bar != nullptr ? new TitleBarAccessible(bar) : nullptr;
}

// Qt draws no title bar on a frameless window. The window's kind is kept; hints of a title bar
// would make Qt give it one. The widget and its shown platform window are told alike, so neither
// puts Qt's bar back later.
void MakeFrameless(QWidget& window) {
    const Qt::WindowFlags flags =
        (window.windowFlags() & Qt::WindowType_Mask) | Qt::FramelessWindowHint;
    window.overrideWindowFlags(flags);
    window.windowHandle()->setFlags(flags);
}

// The window grows by a frame around its contents, which keep their size and, placed by hand,
// move with it (a layout places its own).
void FrameContents(QWidget& window, const QMargins& frame, const QWidget& bar) {
    const QMargins before = window.contentsMargins();
    const QSize size = window.size().grownBy(frame - before);
    window.setContentsMargins(frame);
    if (window.layout() == nullptr) {
        const QPoint shift(frame.left() - before.left(), frame.top() - before.top());
        for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child != &bar && !child->isWindow()) {
                child->move(child->pos() + shift);
            }
        }
    }
    if (window.minimumSize() == window.maximumSize()) {
        window.setFixedSize(size);
    } else {
        window.resize(size);
    }
}

// Takes Qt's title bar off a window it has decorated and gives the window ours.
void ReplaceQtTitleBar(QWidget& window) {
    static const bool describable = [] {
        QAccessible::installFactory(&TitleBarInterface);
        return true;
    }();
    static_cast<void>(describable);
    MakeFrameless(window);
    auto* bar = new TitleBar(window);
    FrameContents(window, QMargins(BORDER, BORDER + bar->Height(), BORDER, BORDER), *bar);
    bar->Place();
    bar->show();
    // The key that the system menu names for closing, which a compositor that leaves the title
    // bar to the program may leave to it too.
    auto* closeKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), &window);
    QObject::connect(closeKey, &QShortcut::activated, &window, &QWidget::close);
}

// Qt settles a window's title bar once it is shown: it draws its own where the compositor offers
// none (Weston, GNOME's), and asks the compositor for its own where it offers them (wlroots',
// KDE's), drawing one only if refused. By the window's first exposure, before anything is
// painted, the answer stands, and the frame Qt draws shows in the window's frame margins.
class TitleBarChoice final : public QObject {
  public:
    explicit TitleBarChoice(QWidget& window) : QObject(&window), m_window(window) {
        window.windowHandle()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* handle = static_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && handle->isExposed()) {
            handle->removeEventFilter(this);
            if (!handle->frameMargins().isNull()) {
                ReplaceQtTitleBar(m_window);
            }
            deleteLater();
        }
        return false;
    }

  private:
    QWidget& m_window;
};

}  // namespace

void AddTitleBarWhereNeeded(QWidget& window) {
    // Elsewhere the title bar is the window manager's; and a user's own choice of Qt's title
    // bars (a plugin of their choosing) stands.
    if (!QGuiApplication::platformName().startsWith(u"wayland") ||
        qEnvironmentVariableIsSet("QT_WAYLAND_DECORATION")) {
        return;
    }
    window.winId();              // the platform window, whose exposure is watched
    new TitleBarChoice(window);  // owned by the window
}

}  // namespace dlg::qt
