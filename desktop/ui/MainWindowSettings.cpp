// The main window's settings: the one table that names each setup key's control, and the
// member functions that build those controls from it, set the Tab order and copy values between
// the controls and the job.
#include "desktop/ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>
#include <map>
#include <optional>
#include <type_traits>
#include <variant>

#include "desktop/ui/BatchWindow.h"
#include "desktop/ui/QtText.h"
#include "desktop/ui/SheetSizeEdit.h"
#include "desktop/ui/SmallDialogs.h"
#include "desktop/ui/TaskRow.h"

namespace desktop::ui {

namespace {

// A number field wide enough to show five digits (99999, the last page) whole in any font.
QLineEdit* NumberEdit(QWidget* parent, int width = 70) {
    auto* edit = new QLineEdit(parent);
    QMargins margins = edit->textMargins() + edit->contentsMargins();
    int fiveDigits = edit->fontMetrics().horizontalAdvance(QStringLiteral("999999")) +
                     margins.left() + margins.right() + 8;
    edit->setMinimumWidth(fiveDigits);
    edit->setMaximumWidth(std::max(width, fiveDigits));
    edit->setAcceptDrops(false);
    return edit;
}

QLineEdit* TextEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setAcceptDrops(false);
    return edit;
}

// Each option button is a group of its own: the interlocks, not the buttons, keep related
// buttons exclusive.
QRadioButton* Option(const QString& text, QWidget* parent) {
    auto* button = new QRadioButton(text, parent);
    button->setAutoExclusive(false);
    return button;
}

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    if (buddy != nullptr) label->setBuddy(buddy);
    return label;
}

// One setting of the window: its setup key, where MainControls keeps its control (which also
// says the control's kind), the control's text (a check box's or option button's caption, the
// label of an edit or list), the interlock a click runs, and a number edit's widest.
struct SettingControl {
    std::string_view key;
    std::variant<QLineEdit * MainControls::*, QCheckBox * MainControls::*,
                 QRadioButton * MainControls::*, QComboBox * MainControls::*,
                 SheetSizeEdit * MainControls::*>
        control;
    const char* text;
    std::optional<OptionAction> click = std::nullopt;
    int width = 70;
};

// Every setting the window shows, in the order of the window and of its Tab key.
using M = MainControls;
const SettingControl kSettingControls[] = {
    {"INFILE", &M::input, "In&put:"},
    {"OUTFILE", &M::output, "O&utput:"},
    {"STARTPAGE", &M::startPage, "&Start at page no:"},
    {"ENDPAGE", &M::endPage, "&End at page no:"},
    {"DUPLICATE", &M::duplicate, "Duplicate each page", OptionAction::Duplicate},
    {"DUPROTATELEFT", &M::rotateLeft, "Rotate Left", OptionAction::DupRotateLeft},
    {"DUPROTATERIGHT", &M::rotateRight, "Rotate Right", OptionAction::DupRotateRight},
    {"TYPEACROSS", &M::across, "Across the page", OptionAction::Across},
    {"TYPEDOWN", &M::down, "Down the page", OptionAction::Down},
    {"TYPEAB", &M::ab, "A/B", OptionAction::AB},
    {"TYPESPLIT", &M::split, "Split", OptionAction::Split},
    {"TYPEAB4", &M::ab4, "A/B 4up (Duplex)", OptionAction::AB4Duplex},
    {"2UPDUPLEX", &M::ab2Duplex, "A/B 2up (Duplex)", OptionAction::AB2Duplex},
    {"FLIP", &M::flip, "Flip on:"},
    {"BACKSHIFT", &M::backShift, "Back shift:"},
    {"PROCESSINGTYPE", &M::layout, "&nUP positions:"},
    {"ROTATENONE", &M::rotateNone, "None", OptionAction::RotateNone},
    {"ROTATEODD", &M::rotateOdd, "Odd", OptionAction::RotateOdd},
    {"ROTATEEVEN", &M::rotateEven, "Even", OptionAction::RotateEven},
    {"ROTATEALL", &M::rotateAll, "All", OptionAction::RotateAll},
    {"GRID", &M::grid, "Grid:"},
    {"FILLORDER", &M::fillOrder, "Fill:"},
    {"FROMBOTTOM", &M::fromBottom, "From the bottom", OptionAction::SheetSetting},
    {"RIGHTMARGIN", &M::rightMargin, "Ri&ght margin:"},
    {"BOTTOMMARGIN", &M::bottomMargin, "Botto&m margin:"},
    {"MEDIABOX", &M::mediaBox, "Me&dia box:"},
    {"CROPBOX", &M::cropBox, "C&rop box:"},
    {"MEDIABOX2", &M::mediaBox2, "Duple&x Media box:"},
    {"CROPBOX2", &M::cropBox2, "Cr&op box:"},
    {"SHEET", &M::sheet, "Paper:"},
    {"FITTOSHEET", &M::fitToSheet, "Fi&t pages to sheet", OptionAction::SheetSetting},
    {"OUTERMARGIN", &M::outerMargin, "Outer margin:"},
    {"GUTTER", &M::gutter, "Gutter:"},
    {"CROPMARKS", &M::cropMarks, "Crop mar&ks", OptionAction::SheetSetting},
    {"REPEAT", &M::repeat, "Cards", OptionAction::SheetSetting},
    {"BLEED", &M::bleed, "Bleed:"},
    {"DUPLEXBACKS", &M::duplexBacks, "Backs behind fronts", OptionAction::SheetSetting},
    {"FRAME", &M::frame, "Frame:"},
    {"FOLD", &M::fold, "Fold:"},
    {"BINDING", &M::binding, "Binding:"},
    {"COVER", &M::cover, "Cover:"},
    {"SIGNATURE", &M::signature, "Signature of N sheets:"},
    {"CREEP", &M::creep, "Creep (mm):"},
    {"FOLDMARKS", &M::foldMarks, "Fo&ld marks", OptionAction::SheetSetting},
    {"RIGHTTOLEFT", &M::rightToLeft, "Right-to-left", OptionAction::SheetSetting},
    {"POSTER", &M::poster, "Poster size:"},
    {"TILE", &M::tile, "Tiles:"},
    {"OVERLAP", &M::overlap, "Overlap:"},
    {"SLUG", &M::slug, "Slug:"},
    {"REGMARKS", &M::regMarks, "Registration marks", OptionAction::SheetSetting},
    {"COLORBAR", &M::colorBar, "Colour bar", OptionAction::SheetSetting},
    {"TEMPLATE", &M::layoutTemplate, "Template:"},
    {"NOPAGESBLANK", &M::blankPages,
     "Add n bl&ank pages onto the end of the source file before processing:", std::nullopt, 50},
    {"AUTOMATICADDBLANKS", &M::automatic, "Automatic", OptionAction::Automatic},
    {"PREPRESS", &M::prepress, "Pre-press option - retain fonts (default unchecked)"},
    {"DONTCLEANFILE", &M::dontClean, "Don't clean source file first"},
};

void SetFlag(QRadioButton* button, int flag) {
    button->setChecked(IsChosen(flag));
}
int FlagOf(const QRadioButton* button) {
    return button->isChecked() ? kChosen : kNotChosen;
}
void SetCheck(QCheckBox* box, int value) {
    box->setChecked(value != 0);
}
int CheckOf(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

// A list whose items carry data holds the setting's value there, shown by its text; the first
// item stands for the default and for any value no item holds. Other lists hold it as text.
QString ValueOf(const QComboBox& list) {
    QVariant data = list.currentData();
    return data.isValid() ? data.toString() : list.currentText();
}
int IndexOf(const QComboBox& list, const QString& value) {
    if (!list.itemData(0).isValid()) return list.findText(value, Qt::MatchExactly);
    return std::max(list.findData(value), 0);
}

}  // namespace

// The Tab key follows the task buttons, then the settings in the order of the window, each file
// name with its two buttons, then the commands.
void MainWindow::SetTabOrder() {
    auto& c = m_controls;
    std::vector<QWidget*> order;
    for (Task task : Tasks()) order.push_back(c.tasks->Button(task));
    for (const auto& [row, control] : m_bound) {
        if (auto* sheet = qobject_cast<SheetSizeEdit*>(control)) {
            order.insert(order.end(),
                         {sheet->Paper(), sheet->Width(), sheet->Height(), sheet->Orientation()});
            continue;
        }
        order.push_back(control);
        if (control == c.input) order.insert(order.end(), {c.inputBrowse, c.inputView});
        if (control == c.output) order.insert(order.end(), {c.outputBrowse, c.outputView});
        if (control == c.layoutTemplate) order.push_back(c.templateBrowse);
        if (control == c.backShift) order.push_back(c.testSheet);
    }
    order.insert(order.end(), {c.cancel, c.impose, c.close});
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

// Makes the control of every setting from the table, named after its key, with its caption or
// its label, and binds it to its row of the key table. An option click runs its interlock; a
// typed value reaches the record and the pictures when the typing is done.
std::map<QWidget*, QLabel*> MainWindow::CreateSettingControls(QWidget* parent) {
    std::map<QWidget*, QLabel*> labels;
    for (const SettingControl& setting : kSettingControls) {
        const SetupKey* row = FindSetupKey(setting.key);
        QString text = QString::fromUtf8(setting.text);
        QWidget* control = std::visit(
            [&](auto member) -> QWidget* {
                using Control =
                    std::remove_pointer_t<std::remove_reference_t<decltype(m_controls.*member)>>;
                Control* made = nullptr;
                if constexpr (std::is_same_v<Control, QLineEdit>) {
                    made = row->kind == KeyKind::Text ? TextEdit(parent)
                                                      : NumberEdit(parent, setting.width);
                } else if constexpr (std::is_same_v<Control, QRadioButton>) {
                    made = Option(text, parent);
                } else if constexpr (std::is_same_v<Control, QCheckBox>) {
                    made = new QCheckBox(text, parent);
                } else if constexpr (std::is_same_v<Control, SheetSizeEdit>) {
                    made = new SheetSizeEdit(parent);
                    // The Tab key and the label reach the list of papers.
                    made->Paper()->setObjectName(Q(setting.key));
                } else {
                    made = new Control(parent);
                }
                m_controls.*member = made;
                return made;
            },
            setting.control);
        control->setObjectName(Q(setting.key));
        m_bound.push_back({row, control});
        if (setting.click) {
            connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked, this,
                    [this, action = *setting.click] { ApplyOptionClick(action); });
        }
        auto typed = [this] {
            if (m_running) return;
            CopyControlsIn();
            ShowApplyingSettings();
            RefreshPictures();
        };
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            connect(edit, &QLineEdit::editingFinished, this, typed);
        }
        if (auto* list = qobject_cast<QComboBox*>(control); list && list != m_controls.layout) {
            connect(list, &QComboBox::activated, this, typed);
        }
        if (auto* sheet = qobject_cast<SheetSizeEdit*>(control)) {
            connect(sheet, &SheetSizeEdit::Edited, this, typed);
            labels[control] = Label(text, sheet->Paper(), parent);
        }
        if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control)) {
            labels[control] = Label(text, control, parent);
        }
    }
    return labels;
}

void MainWindow::CopyControlsIn() {
    JobSetup& s = Setup();
    for (const auto& [row, control] : m_bound) {
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            // An edit that holds its setting's limits and is half typed ("999" of at most 256)
            // leaves the value as it was.
            if (edit->validator() != nullptr && !edit->hasAcceptableInput()) continue;
            if (row->kind == KeyKind::Text) {
                s.*(row->text) = S(edit->text());
            } else {
                s.*(row->number) = ReadInteger(edit->text());
            }
        } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
            s.*(row->number) = CheckOf(box);
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            if (list->currentIndex() < 0) continue;
            if (row->kind == KeyKind::Text) {
                s.*(row->text) = S(ValueOf(*list));
            } else {
                s.*(row->number) = ReadInteger(ValueOf(*list));
            }
        } else if (auto* sheet = qobject_cast<SheetSizeEdit*>(control)) {
            s.*(row->text) = S(sheet->Text());
        } else if (auto* button = qobject_cast<QRadioButton*>(control)) {
            // "A/B 2up (Duplex)" shows whether the option is chosen; its other values (an odd
            // flag from a setup file, the page order) live only in the record.
            bool shown = row->kind != KeyKind::DuplexSelection ||
                         button->isChecked() != IsChosen(s.*(row->number));
            if (shown) s.*(row->number) = FlagOf(button);
        }
    }
    if (m_batch) s.outFolder = m_batch->OutputFolder();
}

void MainWindow::ShowValues() {
    const JobSetup& s = Setup();
    for (const auto& [row, control] : m_bound) {
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setText(row->kind == KeyKind::Text ? Q(s.*(row->text))
                                                     : QString::number(s.*(row->number)));
        } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
            SetCheck(box, s.*(row->number));
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            list->setCurrentIndex(IndexOf(*list, row->kind == KeyKind::Text
                                                     ? Q(s.*(row->text))
                                                     : QString::number(s.*(row->number))));
        } else if (auto* sheet = qobject_cast<SheetSizeEdit*>(control)) {
            sheet->SetText(Q(s.*(row->text)));
        } else if (auto* button = qobject_cast<QRadioButton*>(control)) {
            SetFlag(button, s.*(row->number));
        }
    }
    if (m_batch && !s.outFolder.empty()) m_batch->SetOutputFolder(s.outFolder);
    ShowApplyingSettings();
}

}  // namespace desktop::ui
