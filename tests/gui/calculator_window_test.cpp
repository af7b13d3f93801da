#include <filesystem>
#include <fstream>
#include <iterator>

#include <QMenu>
#include <QRadioButton>
#include <QTest>

#include "core/fee_schedule.h"
#include "core/net_profit.h"

#include "settings/settings_file.h"

#include "res/resource_ids.h"
#include "res/version.h"

#include "ui/framework/messages.h"
#include "ui/profit_calc_dlg.h"
#include "ui/qt/qt_resources.h"

#include "calculation_cases.h"
#include "gui_driver.h"

using gui::Button;
using gui::Field;
using gui::InNextDialog;
using gui::Text;
using gui::Type;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The calculator window reads its settings beside the executable, which here is the test's.
std::string SettingsFile() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Set.ini").string();
}

void RemoveSettings() {
    std::error_code ignored;
    std::filesystem::remove_all(SettingsFile(), ignored);
}

const QString DEFAULT_SUMMARY = QStringLiteral("佣金1.50‰,花税1.00‰,过户费1.00‰");
const QString SUMMARY_2023 = QStringLiteral("现行佣0.25‰,印花0.50‰,过户0.01‰");

bool Checked(QWidget* window, const char* name) {
    return Button(window, name)->isChecked();
}

}  // namespace

class CalculatorWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { dlg::qt::ConfigureApplication(); }
    void init() { RemoveSettings(); }
    void cleanup() {
        RemoveSettings();
        QVERIFY2(QApplication::topLevelWidgets().size() <= 1 || gui::ActiveModal() == nullptr,
                 "a dialog was left open");
    }

    void startsWithZerosAndTheDefaultRates() {
        CProfitCalcDlg window;
        InNextDialog([](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(),
                     QStringLiteral(TRELLAN_PRODUCT_NAME " " TRELLAN_VERSION_TEXT));
            for (const char* field :
                 {"IDC_BUY_PRICE", "IDC_QUANTITY", "IDC_SELL_PRICE", "IDC_NET_PROFIT"}) {
                QCOMPARE(Text(dialog, field), QStringLiteral("0"));
            }
            QVERIFY(Checked(dialog, "IDC_EXCHANGE_A"));
            QVERIFY(!Checked(dialog, "IDC_EXCHANGE_B"));
            QCOMPARE(Text(dialog, "IDC_RATE_SUMMARY"), DEFAULT_SUMMARY);
            QCOMPARE(dialog->focusWidget(), Field(dialog, "IDC_BUY_PRICE"));
            QVERIFY(!Field(dialog, "IDC_NET_PROFIT")->isEnabled());
        });
        QCOMPARE(window.DoModal(), dlg::RESULT_CANCEL);
        QVERIFY(!std::filesystem::exists(SettingsFile()));
    }

    void calculates_data() {
        QTest::addColumn<QString>("buy");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("sell");
        QTest::addColumn<bool>("second");
        QTest::addColumn<QString>("result");
        for (const gui::CalculationCase& row : gui::CALCULATIONS) {
            QTest::newRow(row.name) << QString::fromUtf8(row.buy) << QString::fromUtf8(row.quantity)
                                    << QString::fromUtf8(row.sell) << row.secondExchange
                                    << QString::fromUtf8(row.result);
        }
    }

    void calculates() {
        QFETCH(QString, buy);
        QFETCH(QString, quantity);
        QFETCH(QString, sell);
        QFETCH(bool, second);
        QFETCH(QString, result);
        CProfitCalcDlg window;
        InNextDialog([&](QWidget* dialog) {
            Type(Field(dialog, "IDC_BUY_PRICE"), buy);
            Type(Field(dialog, "IDC_QUANTITY"), quantity);
            Type(Field(dialog, "IDC_SELL_PRICE"), sell);
            if (second) {
                QTest::mouseClick(Button(dialog, "IDC_EXCHANGE_B"), Qt::LeftButton);
                QVERIFY(!Checked(dialog, "IDC_EXCHANGE_A"));
            }
            QTest::mouseClick(Button(dialog, "IDC_CALCULATE"), Qt::LeftButton);
            QCOMPARE(Text(dialog, "IDC_NET_PROFIT"), result);
            // What the window shows reads back: a second Calculate changes nothing.
            QTest::mouseClick(Button(dialog, "IDC_CALCULATE"), Qt::LeftButton);
            QCOMPARE(Text(dialog, "IDC_NET_PROFIT"), result);
        });
        window.DoModal();
    }

    void unreadableQuantityKeepsTheFieldsAfterIt() {
        CProfitCalcDlg window;
        QString message;
        InNextDialog([&](QWidget* dialog) {
            Type(Field(dialog, "IDC_BUY_PRICE"), QStringLiteral("5"));
            Type(Field(dialog, "IDC_QUANTITY"), QStringLiteral("100"));
            Type(Field(dialog, "IDC_SELL_PRICE"), QStringLiteral("6"));
            QTest::mouseClick(Button(dialog, "IDC_CALCULATE"), Qt::LeftButton);

            Type(Field(dialog, "IDC_BUY_PRICE"), QStringLiteral("10"));
            Type(Field(dialog, "IDC_QUANTITY"), QStringLiteral("1.5"));
            Type(Field(dialog, "IDC_SELL_PRICE"), QStringLiteral("11"));
            QTest::mouseClick(Button(dialog, "IDC_EXCHANGE_B"), Qt::LeftButton);
            gui::AcceptNextMessage(dialog, &message);
            QTest::mouseClick(Button(dialog, "IDC_CALCULATE"), Qt::LeftButton);

            QVERIFY(message.contains(QStringLiteral("整数")));
            QCOMPARE(Text(dialog, "IDC_BUY_PRICE"), QStringLiteral("10"));
            QCOMPARE(Text(dialog, "IDC_QUANTITY"), QStringLiteral("100"));
            QCOMPARE(Text(dialog, "IDC_SELL_PRICE"), QStringLiteral("6"));
            QVERIFY(Checked(dialog, "IDC_EXCHANGE_A"));
            QVERIFY(!Checked(dialog, "IDC_EXCHANGE_B"));
            const trellan::TradeEntry kept{10, 100, 6, 0, trellan::FIRST_EXCHANGE};
            QCOMPARE(Text(dialog, "IDC_NET_PROFIT"),
                     QString::number(trellan::CalculateNetProfit(kept, {}), 'g', 15));
            QCOMPARE(dialog->focusWidget(), Field(dialog, "IDC_QUANTITY"));
        });
        window.DoModal();
    }

    void unreadableTexts_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty price") << "IDC_BUY_PRICE"
                                     << "";
        QTest::newRow("comma price") << "IDC_SELL_PRICE"
                                     << "2,5";
        QTest::newRow("quantity beyond 32 bits") << "IDC_QUANTITY"
                                                 << "2147483648";
        QTest::newRow("letters") << "IDC_QUANTITY"
                                 << "abc";
    }

    void unreadableTexts() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        CProfitCalcDlg window;
        QString message;
        InNextDialog([&](QWidget* dialog) {
            Type(Field(dialog, field.toLatin1().constData()), text);
            gui::AcceptNextMessage(dialog, &message);
            QTest::mouseClick(Button(dialog, "IDC_CALCULATE"), Qt::LeftButton);
            QVERIFY(!message.isEmpty());
            QCOMPARE(Text(dialog, field.toLatin1().constData()), QStringLiteral("0"));
        });
        window.DoModal();
    }

    // How the window ends, or does not: Enter gives OK (ended only when every field reads) or
    // presses the focused button; the close box and the system menu's Close give Cancel.
    void endings_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter in a field") << int(EnterInField) << dlg::RESULT_OK;
        QTest::newRow("Enter, a field unreadable") << int(EnterUnreadable) << dlg::RESULT_CANCEL;
        QTest::newRow("Enter on Calculate") << int(EnterOnCalculate) << dlg::RESULT_CANCEL;
        QTest::newRow("close box") << int(CloseBox) << dlg::RESULT_CANCEL;
        QTest::newRow("system menu Close") << int(SystemMenuClose) << dlg::RESULT_CANCEL;
    }

    void endings() {
        QFETCH(int, action);
        QFETCH(int, result);
        CProfitCalcDlg window;
        InNextDialog([action](QWidget* dialog) { Act(static_cast<Ending>(action), dialog); });
        QCOMPARE(window.DoModal(), result);
    }

    void arrowKeysChooseTheExchange() {
        CProfitCalcDlg window;
        InNextDialog([](QWidget* dialog) {
            Button(dialog, "IDC_EXCHANGE_A")->setFocus();
            QTest::keyClick(Button(dialog, "IDC_EXCHANGE_A"), Qt::Key_Right);
            QVERIFY(Checked(dialog, "IDC_EXCHANGE_B"));
            QVERIFY(!Checked(dialog, "IDC_EXCHANGE_A"));
            // Clicking the checked button keeps it checked.
            QTest::mouseClick(Button(dialog, "IDC_EXCHANGE_B"), Qt::LeftButton);
            QVERIFY(Checked(dialog, "IDC_EXCHANGE_B"));
        });
        window.DoModal();
    }

    void feeRatesConfirmed() {
        CProfitCalcDlg window;
        InNextDialog([&](QWidget* dialog) {
            QTest::mouseClick(Button(dialog, "IDC_CALCULATE"), Qt::LeftButton);
            InNextDialog([](QWidget* rates) {
                QCOMPARE(rates->windowTitle(), QStringLiteral("参数设置"));
                QCOMPARE(Text(rates, "IDC_COMMISSION_RATE"), QStringLiteral("1.5"));
                QCOMPARE(Text(rates, "IDC_STAMP_DUTY_RATE"), QStringLiteral("1"));
                QCOMPARE(Text(rates, "IDC_TRANSFER_RATE"), QStringLiteral("1"));
                QCOMPARE(rates->focusWidget(), Field(rates, "IDC_COMMISSION_RATE"));
                Type(Field(rates, "IDC_COMMISSION_RATE"), QStringLiteral("0.125"));  // 万1.25
                Type(Field(rates, "IDC_TRANSFER_RATE"), QStringLiteral("-1"));
                QTest::mouseClick(Button(rates, "IDOK"), Qt::LeftButton);
            });
            QTest::mouseClick(Button(dialog, "IDC_SETTINGS"), Qt::LeftButton);
            QVERIFY(Text(dialog, "IDC_RATE_SUMMARY").startsWith(QStringLiteral("佣金0.13‰")));
            QVERIFY(Text(dialog, "IDC_RATE_SUMMARY").endsWith(QStringLiteral("过户费-1.00‰")));
            QCOMPARE(Text(dialog, "IDC_NET_PROFIT"), QStringLiteral("-12"));  // until Calculate
        });
        window.DoModal();
        QCOMPARE(window.Schedule().commissionRate, trellan::FromPerMille(0.125));
        QCOMPARE(window.Schedule().transferRate, trellan::FromPerMille(-1));
        QCOMPARE(ReadFile(SettingsFile()),
                 std::string("[SET]\nCOMMISION=0.125\nSTAMPDUTY=1.00\nTRANSFER=-1.00\n"));
        // The next start computes with the very rate confirmed.
        QCOMPARE(trellan::LoadFeeSchedule(SettingsFile().c_str()).commissionRate,
                 window.Schedule().commissionRate);
    }

    void feeRatesCancelled() {
        CProfitCalcDlg window;
        InNextDialog([&](QWidget* dialog) {
            InNextDialog([](QWidget* rates) {
                Type(Field(rates, "IDC_COMMISSION_RATE"), QStringLiteral("9"));
                QTest::mouseClick(Button(rates, "IDCANCEL"), Qt::LeftButton);
            });
            QTest::mouseClick(Button(dialog, "IDC_SETTINGS"), Qt::LeftButton);
            QCOMPARE(Text(dialog, "IDC_RATE_SUMMARY"), DEFAULT_SUMMARY);
        });
        window.DoModal();
        QCOMPARE(window.Schedule().commissionRate, trellan::FeeSchedule{}.commissionRate);
        QVERIFY(!std::filesystem::exists(SettingsFile()));
    }

    // Each rule set keeps its own rates in the same three fields; OK saves both and the choice,
    // Cancel changes nothing, and a restart keeps it all.
    void todaysRulesTickedEditedAndKept() {
        CProfitCalcDlg window;
        InNextDialog([&](QWidget* dialog) {
            InNextDialog([](QWidget* rates) {
                auto* box = Button(rates, "IDC_RULES_2023");
                QVERIFY(!box->isChecked());
                QVERIFY(!Field(rates, "IDC_MIN_COMMISSION")->isEnabled());
                Button(rates, "IDCANCEL")->setFocus();
                QTest::keyClick(rates, Qt::Key_Tab);
                QCOMPARE(rates->focusWidget(), box);
                QTest::keyClick(box, Qt::Key_Space);
                QCOMPARE(Text(rates, "IDC_COMMISSION_RATE"), QStringLiteral("0.25"));
                QCOMPARE(Text(rates, "IDC_STAMP_DUTY_RATE"), QStringLiteral("0.5"));
                QCOMPARE(Text(rates, "IDC_TRANSFER_RATE"), QStringLiteral("0.01"));
                QCOMPARE(Text(rates, "IDC_MIN_COMMISSION"), QStringLiteral("5"));
                QTest::keyClick(rates, Qt::Key_Tab);
                QCOMPARE(rates->focusWidget(), Field(rates, "IDC_MIN_COMMISSION"));
                Type(Field(rates, "IDC_MIN_COMMISSION"), QStringLiteral("0"));
                Type(Field(rates, "IDC_COMMISSION_RATE"), QStringLiteral("0.3"));
                QTest::mouseClick(box, Qt::LeftButton);  // the classic rates come back
                QCOMPARE(Text(rates, "IDC_COMMISSION_RATE"), QStringLiteral("1.5"));
                QVERIFY(!Field(rates, "IDC_MIN_COMMISSION")->isEnabled());
                QTest::mouseClick(box, Qt::LeftButton);  // and today's as edited
                QCOMPARE(Text(rates, "IDC_COMMISSION_RATE"), QStringLiteral("0.3"));
                Type(Field(rates, "IDC_COMMISSION_RATE"), QStringLiteral("0.25"));
                QTest::mouseClick(Button(rates, "IDOK"), Qt::LeftButton);
            });
            QTest::mouseClick(Button(dialog, "IDC_SETTINGS"), Qt::LeftButton);
            QCOMPARE(Text(dialog, "IDC_RATE_SUMMARY"), SUMMARY_2023);
            InNextDialog([](QWidget* rates) {
                QVERIFY(Button(rates, "IDC_RULES_2023")->isChecked());
                QCOMPARE(Text(rates, "IDC_MIN_COMMISSION"), QStringLiteral("0"));
                Type(Field(rates, "IDC_MIN_COMMISSION"), QStringLiteral("9"));
                QTest::mouseClick(Button(rates, "IDC_RULES_2023"), Qt::LeftButton);
                QTest::mouseClick(Button(rates, "IDCANCEL"), Qt::LeftButton);
            });
            QTest::mouseClick(Button(dialog, "IDC_SETTINGS"), Qt::LeftButton);
            QCOMPARE(Text(dialog, "IDC_RATE_SUMMARY"), SUMMARY_2023);
        });
        window.DoModal();
        const std::string saved =
            "[SET]\nCOMMISION=1.50\nSTAMPDUTY=1.00\nTRANSFER=1.00\nRULES=2023\n\n"
            "[SET2023]\nCOMMISION=0.25\nSTAMPDUTY=0.50\nTRANSFER=0.01\n"
            "MINCOMMISSION=0.00\n";
        QCOMPARE(ReadFile(SettingsFile()), saved);
        CProfitCalcDlg restarted;
        InNextDialog([](QWidget* dialog) {
            QCOMPARE(Text(dialog, "IDC_RATE_SUMMARY"), SUMMARY_2023);
            Type(Field(dialog, "IDC_BUY_PRICE"), QStringLiteral("10"));
            Type(Field(dialog, "IDC_QUANTITY"), QStringLiteral("1000"));
            Type(Field(dialog, "IDC_SELL_PRICE"), QStringLiteral("11"));
            QTest::mouseClick(Button(dialog, "IDC_CALCULATE"), Qt::LeftButton);
            QCOMPARE(Text(dialog, "IDC_NET_PROFIT"), QStringLiteral("989.04"));
        });
        restarted.DoModal();
    }

    // At the dialog font's 9 points, the summary of either rules and the box's text fit their
    // controls.
    void textsFitTheirControls() {
        std::filesystem::remove_all(SettingsFile());
        std::ofstream(SettingsFile()) << "[SET]\nRULES=2023\n";
        CProfitCalcDlg window;
        InNextDialog([](QWidget* dialog) {
            auto* summary = gui::Find<QLabel>(dialog, "IDC_RATE_SUMMARY");
            QCOMPARE(summary->text(), SUMMARY_2023);
            const QFontMetrics metrics(summary->font());
            QVERIFY(metrics.horizontalAdvance(SUMMARY_2023) <= summary->width());
            QVERIFY(metrics.horizontalAdvance(DEFAULT_SUMMARY) <= summary->width());
            InNextDialog([](QWidget* rates) {
                auto* box = Button(rates, "IDC_RULES_2023");
                QVERIFY(box->isChecked());
                QVERIFY(box->sizeHint().width() <= box->width());
            });
            QTest::mouseClick(Button(dialog, "IDC_SETTINGS"), Qt::LeftButton);
        });
        window.DoModal();
    }

    void unreadableRateKeepsTheDialogOpen() {
        CProfitCalcDlg window;
        int messages = 0;
        InNextDialog([&](QWidget* dialog) {
            InNextDialog([&](QWidget* rates) {
                Type(Field(rates, "IDC_STAMP_DUTY_RATE"), QStringLiteral("x"));
                QString message;
                gui::AcceptNextMessage(rates, &message);
                QTest::mouseClick(Button(rates, "IDOK"), Qt::LeftButton);
                messages += message.isEmpty() ? 0 : 1;
                QVERIFY(rates->isVisible());
                QCOMPARE(rates->focusWidget(), Field(rates, "IDC_STAMP_DUTY_RATE"));
                QTest::keyClick(rates, Qt::Key_Escape);
            });
            QTest::mouseClick(Button(dialog, "IDC_SETTINGS"), Qt::LeftButton);
            QCOMPARE(Text(dialog, "IDC_RATE_SUMMARY"), DEFAULT_SUMMARY);
        });
        window.DoModal();
        QCOMPARE(messages, 1);  // told once, not once per read
        QVERIFY(!std::filesystem::exists(SettingsFile()));
    }

    void failedSaveIsToldAndTheRatesStillApply() {
        std::filesystem::create_directory(SettingsFile());  // a folder where the file should be
        CProfitCalcDlg window;
        QString message;
        InNextDialog([&](QWidget* dialog) {
            InNextDialog([&](QWidget* rates) {
                Type(Field(rates, "IDC_COMMISSION_RATE"), QStringLiteral("3"));
                gui::AcceptNextMessage(dialog, &message);
                QTest::mouseClick(Button(rates, "IDOK"), Qt::LeftButton);
            });
            QTest::mouseClick(Button(dialog, "IDC_SETTINGS"), Qt::LeftButton);
            QVERIFY(Text(dialog, "IDC_RATE_SUMMARY").startsWith(QStringLiteral("佣金3.00‰")));
        });
        window.DoModal();
        QVERIFY(message.contains(QString::fromStdString(SettingsFile())));
        QCOMPARE(window.Schedule().commissionRate, trellan::FromPerMille(3));
        QVERIFY(std::filesystem::is_directory(SettingsFile()));
    }

    void aboutBoxFromTheButton() {
        CProfitCalcDlg window;
        InNextDialog([](QWidget* dialog) {
            InNextDialog([](QWidget* about) {
                QCOMPARE(about->windowTitle(), QStringLiteral("关于 Quorim"));
                QStringList texts;
                for (const QLabel* label : about->findChildren<QLabel*>()) {
                    texts << label->text();
                }
                QVERIFY(texts.contains(
                    QStringLiteral(TRELLAN_PRODUCT_NAME " " TRELLAN_VERSION_TEXT " 版")));
                QTest::keyClick(about, Qt::Key_Return);  // the default button: OK
                QVERIFY(!about->isVisible());
            });
            QTest::mouseClick(Button(dialog, "IDC_ABOUT"), Qt::LeftButton);
            QVERIFY(dialog->isVisible());
        });
        QCOMPARE(window.DoModal(), dlg::RESULT_CANCEL);
    }

    void systemMenuEndsWithTheAboutItem() {
        CProfitCalcDlg window;
        bool aboutShown = false;
        InNextDialog([&](QWidget* dialog) {
            QTest::mouseClick(dialog->windowHandle(), Qt::RightButton, {}, QPoint(5, 5));
            auto* menu = gui::Find<QMenu>(dialog, "systemMenu");
            QVERIFY(menu != nullptr);
            QTRY_VERIFY(menu->isVisible());
            const QList<QAction*> items = menu->actions();
            QCOMPARE(items.size(), 3);
            QVERIFY(items.at(1)->isSeparator());
            QCOMPARE(items.at(2)->text(), QStringLiteral("关于 Trellan(&A)..."));
            InNextDialog([&](QWidget* about) {
                aboutShown = about->windowTitle() == QStringLiteral("关于 Quorim");
                QTest::keyClick(about, Qt::Key_Escape);
            });
            QTest::keyClick(menu, Qt::Key_A);  // the item's mnemonic
            QTRY_VERIFY(aboutShown);
            QVERIFY(dialog->isVisible());
        });
        window.DoModal();
    }

  private:
    enum Ending { EnterInField, EnterUnreadable, EnterOnCalculate, CloseBox, SystemMenuClose };

    // Ends the window (or tries to) and checks what the user sees on the way; the window is
    // closed with Escape afterwards if it is still open.
    static void Act(Ending action, QWidget* dialog) {
        QString message;
        switch (action) {
            case EnterInField:
                QTest::keyClick(Field(dialog, "IDC_SELL_PRICE"), Qt::Key_Return);
                break;
            case EnterUnreadable:
                Type(Field(dialog, "IDC_BUY_PRICE"), QStringLiteral("x"));
                gui::AcceptNextMessage(dialog, &message);
                QTest::keyClick(Field(dialog, "IDC_BUY_PRICE"), Qt::Key_Return);
                QVERIFY(dialog->isVisible() && !message.isEmpty());
                break;
            case EnterOnCalculate:
                Button(dialog, "IDC_CALCULATE")->setFocus();
                QTest::keyClick(Button(dialog, "IDC_CALCULATE"), Qt::Key_Return);
                QVERIFY(dialog->isVisible());
                QCOMPARE(Text(dialog, "IDC_NET_PROFIT"), QStringLiteral("-12"));
                break;
            case CloseBox:
                dialog->close();
                break;
            case SystemMenuClose: {
                QTest::keyClick(dialog, Qt::Key_F10, Qt::ShiftModifier);
                auto* menu = gui::Find<QMenu>(dialog, "systemMenu");
                QTRY_VERIFY(menu->isVisible());
                menu->actions().constFirst()->trigger();
                QTRY_VERIFY(!dialog->isVisible());
                break;
            }
        }
    }
};

QTEST_MAIN(CalculatorWindowTest)
#include "calculator_window_test.moc"
