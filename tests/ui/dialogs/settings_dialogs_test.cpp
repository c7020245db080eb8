// Tab stops, Colors, Format Style and Font over the settings they change.
#include "dialog_test_support.h"

#include "dialogs/colors_dialog.h"
#include "dialogs/font_dialog.h"
#include "dialogs/format_style_dialog.h"
#include "dialogs/tab_stops_dialog.h"
#include "shell/ini_file.h"
#include "shell/setting.h"
#include "shell/style_file.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace rux {
namespace {

QPushButton* Button(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    return dialog.findChild<QDialogButtonBox*>()->button(which);
}

void Activate(QDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

TEST(TabStopsDialog, SpinKeepsTwoToEightAndOkStores) {
    struct {
        const char* typed;
        int shown;
    } cases[] = {{"1", 3}, {"9", 3}, {"5", 5}, {"2", 2}, {"8", 8}}; // out of range is refused
    for (const auto& c : cases) {
        CSetting setting;
        setting.SetTabs(3, TAB_INSERT_SPACES);
        CDlgTabStops dialog(setting);
        dialog.show();
        EXPECT_EQ(dialog.SizeSpin()->value(), 3);
        EXPECT_TRUE(dialog.InsertSpaces()->isChecked());
        QLineEdit* edit = dialog.SizeSpin()->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(dialog.SizeSpin(), QString::fromLatin1(c.typed));
        dialog.SizeSpin()->interpretText();
        EXPECT_EQ(dialog.SizeSpin()->value(), c.shown) << c.typed;
        QTest::keyClick(dialog.SizeSpin(), Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.typed;
        EXPECT_EQ(setting.TabSize(), c.shown) << c.typed;
    }
    // The arrow keys stop at the limits too.
    CSetting setting;
    setting.SetTabs(7, TAB_INSERT_SPACES);
    CDlgTabStops dialog(setting);
    dialog.show();
    for (int i = 0; i < 4; ++i) QTest::keyClick(dialog.SizeSpin(), Qt::Key_Up);
    EXPECT_EQ(dialog.SizeSpin()->value(), 8);
    for (int i = 0; i < 9; ++i) QTest::keyClick(dialog.SizeSpin(), Qt::Key_Down);
    EXPECT_EQ(dialog.SizeSpin()->value(), 2);
    // Default sets size 4 and keeps tabs; OK stores both.
    QPushButton* defaults = nullptr;
    for (QAbstractButton* b : dialog.findChild<QDialogButtonBox*>()->buttons())
        if (b->text() == QStringLiteral("Default")) defaults = static_cast<QPushButton*>(b);
    ASSERT_TRUE(defaults);
    QTest::mouseClick(defaults, Qt::LeftButton);
    EXPECT_EQ(dialog.SizeSpin()->value(), 4);
    EXPECT_TRUE(dialog.KeepTabs()->isChecked());
    QTest::keyClick(dialog.SizeSpin(), Qt::Key_Return);
    EXPECT_EQ(setting.TabSize(), 4);
    EXPECT_EQ(setting.TabHandlingMode(), TAB_KEEP_TABS);
}

TEST(ColorsDialog, CancelRestoresEveryChangeAndOkKeepsThem) {
    for (const bool ok : {false, true}) {
        CSetting setting; // no RUXCOLOR section: comments 0x7D7D7D, keywords 0
        CDlgColors dialog(setting);
        std::vector<ColorRef> offered;
        ColorRef next = 0x111111;
        dialog.SetColorChooser([&](ColorRef& value, QWidget*) {
            offered.push_back(value);
            value = next;
            next += 0x111111;
            return true;
        });
        Activate(dialog);
        QListWidget* list = dialog.List();
        ASSERT_EQ(list->count(), 11);
        auto rowOf = [&](const char* name) {
            const auto found = list->findItems(QString::fromLatin1(name), Qt::MatchExactly);
            return found.isEmpty() ? -1 : list->row(found.front());
        };
        // Comments by Change, keywords by a double click.
        list->setCurrentRow(rowOf("Comments"));
        QTest::mouseClick(dialog.ChangeButton(), Qt::LeftButton);
        list->setCurrentRow(rowOf("KeyWords"));
        QListWidgetItem* keywords = list->currentItem();
        const QPoint at = list->visualItemRect(keywords).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(offered, (std::vector<ColorRef>{0x7D7D7D, 0}));
        EXPECT_EQ(setting.GetColor(kColourComment), 0x111111u);
        EXPECT_EQ(setting.GetColor(kColourKeyword), 0x222222u);
        list->setFocus();
        QTest::keyClick(list, ok ? Qt::Key_Return : Qt::Key_Escape);
        EXPECT_EQ(setting.GetColor(kColourComment), ok ? 0x111111u : 0x7D7D7Du);
        EXPECT_EQ(setting.GetColor(kColourKeyword), ok ? 0x222222u : 0u);
    }
}

TEST(ColorsDialog, DefaultSetsTheDefaultsAndACancelledChooserChangesNothing) {
    CSetting setting;
    CDlgColors dialog(setting);
    dialog.SetColorChooser([](ColorRef& value, QWidget*) {
        value = 0x123456;
        return false;
    });
    dialog.show();
    QTest::mouseClick(dialog.ChangeButton(), Qt::LeftButton);
    EXPECT_EQ(setting.GetColor(kColourRungComment), 0x008000u);
    QTest::mouseClick(dialog.DefaultButton(), Qt::LeftButton);
    EXPECT_EQ(setting.GetColor(kColourComment), 0x007D00u);
    EXPECT_EQ(setting.GetColor(kColourKeyword), 0xC80000u);
    // The sample of an entry shows its current colour (0xBBGGRR: red in the low byte).
    const auto found = dialog.List()->findItems(QStringLiteral("KeyWords"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    const QImage sample = found.front()->icon().pixmap(dialog.List()->iconSize()).toImage();
    EXPECT_EQ(sample.pixelColor(sample.width() / 2, sample.height() / 2), QColor(0, 0, 0xC8));
    QTest::mouseClick(Button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(setting.GetColor(kColourKeyword), 0xC80000u);
}

TEST(FormatStyleDialog, ApplyReadsTheStyleAndSaveAsKeepsItsKey) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("HALM.STY")).toStdString();
    CIniFile ini(path);
    ini.WriteString("STYLE_NAME", "Style1", "Quiet");
    ini.WriteString("STYLE_NAME", "Style2", "Loud");
    ini.WriteString("Loud", "FontName", "Liberation Mono");
    ini.WriteInt("Loud", "FontSize", 140);
    ini.WriteInt("Loud", "ColorKwd", 0x0000FF);
    ini.WriteInt("Loud", "TabSize", 6);
    CStyleFile styles{CIniFile(path)};
    CSetting setting;
    CDlgFormatStyle dialog(styles, setting);
    int applied = 0;
    dialog.SetAppliedHandler([&] { ++applied; });
    Activate(dialog);
    ASSERT_EQ(dialog.List()->count(), 2);
    EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("Quiet"));

    QTest::keyClick(dialog.List(), Qt::Key_Down);
    EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("Loud"));
    QTest::keyClick(&dialog, Qt::Key_A, Qt::AltModifier);
    QTest::qWait(150);
    EXPECT_EQ(applied, 1);
    EXPECT_TRUE(dialog.WasApplied());
    EXPECT_EQ(setting.Font().face, "Liberation Mono");
    EXPECT_EQ(setting.Font().size, 140);
    EXPECT_EQ(setting.GetColor(kColourKeyword), 0x0000FFu);
    EXPECT_EQ(setting.TabSize(), 6);

    // Saved under an existing name in other case: the key stays, the section is rewritten.
    setting.SetTabs(3, TAB_KEEP_TABS);
    dialog.NameEdit()->setText(QStringLiteral("quiet"));
    QTest::keyClick(&dialog, Qt::Key_S, Qt::AltModifier);
    QTest::qWait(150);
    EXPECT_EQ(dialog.List()->count(), 2);
    EXPECT_EQ(CIniFile(path).GetInt("Quiet", "TabSize", 0), 3);

    // A new name takes the next number and shows up selected.
    dialog.NameEdit()->setText(QStringLiteral("Night"));
    QTest::mouseClick(dialog.SaveButton(), Qt::LeftButton);
    ASSERT_EQ(dialog.List()->count(), 3);
    EXPECT_EQ(dialog.List()->currentItem()->text(), QStringLiteral("Night"));
    EXPECT_EQ(CIniFile(path).GetString("STYLE_NAME", "Style3", ""), "Night");

    dialog.NameEdit()->clear();
    EXPECT_FALSE(dialog.SaveButton()->isEnabled());
}

TEST(FontDialog, OnlyFaceStyleAndSizeAndDefault) {
    CSetting setting;
    setting.SetFont({"Liberation Serif", 120, 700, true});
    CDlgFont dialog(setting);
    dialog.show();
    // No effects, no writing system.
    for (QGroupBox* group : dialog.Chooser()->findChildren<QGroupBox*>())
        if (!group->findChildren<QAbstractButton*>().isEmpty()) {
            EXPECT_FALSE(group->isVisible());
        }
    for (QComboBox* combo : dialog.Chooser()->findChildren<QComboBox*>()) EXPECT_FALSE(combo->isVisible());
    const QFont shown = dialog.Chooser()->currentFont();
    EXPECT_EQ(shown.pointSize(), 12);
    EXPECT_TRUE(shown.italic());
    EXPECT_EQ(shown.weight(), QFont::Bold);

    // Untouched, OK stores the font as the settings named it.
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(setting.Font(), (CFontDesc{"Liberation Serif", 120, 700, true}));

    CDlgFont again(setting);
    again.show();
    QTest::mouseClick(again.DefaultButton(), Qt::LeftButton);
    QTest::mouseClick(Button(again, QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(setting.Font(), CSetting::DefaultFont()) << "Default resets the face, size, weight and slant";
}

// Enter and Escape pressed inside the chooser's lists end the whole dialog, not just the chooser.
TEST(FontDialog, EnterAndEscapeInTheListsEndTheDialog) {
    struct {
        int key;
        QDialog::DialogCode result;
        int storedSize;
    } cases[] = {{Qt::Key_Escape, QDialog::Rejected, 100}, {Qt::Key_Return, QDialog::Accepted, 140}};
    for (const auto& c : cases) {
        CSetting setting;
        setting.SetFont({"Liberation Mono", 100, 400, false});
        CDlgFont dialog(setting);
        Activate(dialog);
        QFont font = dialog.Chooser()->currentFont();
        font.setPointSize(14);
        dialog.Chooser()->setCurrentFont(font);
        QListView* family = dialog.Chooser()->findChild<QListView*>();
        ASSERT_NE(family, nullptr);
        family->setFocus();
        QTest::keyClick(family, static_cast<Qt::Key>(c.key));
        EXPECT_FALSE(dialog.isVisible()) << c.key;
        EXPECT_EQ(dialog.result(), c.result) << c.key;
        EXPECT_TRUE(dialog.Chooser()->isVisibleTo(&dialog)) << "the chooser stays part of the dialog";
        EXPECT_EQ(setting.Font().size, c.storedSize) << c.key;
        EXPECT_EQ(setting.Font().weight, 400) << c.key;
    }
}

} // namespace
} // namespace rux
