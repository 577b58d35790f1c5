// The controls of the main dialog and their arrangement: the group boxes nest as in the dialog
// template, each control carries its identifier as its object name ("c1025") for tests and tools.

#include "app/ControlIds.h"
#include "app/qt/KavexWindow.h"
#include "app/qt/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>

using namespace KavexId;

template <typename T> T* CKavexWindow::Add(int32_t id, T* widget)
{
    widget->setObjectName(QStringLiteral("c%1").arg(id));
    m_controls.insert(id, widget);
    return widget;
}

QGroupBox* CKavexWindow::Group(int32_t id, const char* title)
{
    return Add(id, new QGroupBox(QString::fromUtf8(title)));
}

namespace
{
QLabel* Label(const char* text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* label = new QLabel(QString::fromUtf8(text));
    label->setAlignment(align);
    return label;
}

QLineEdit* NumberEdit(bool signAllowed, int width)
{
    auto* edit = new QLineEdit;
    edit->setAlignment(Qt::AlignRight);
    const QRegularExpression digits(signAllowed ? QStringLiteral("-?[0-9]{0,5}")
                                                : QStringLiteral("[0-9]{0,5}"));
    edit->setValidator(new QRegularExpressionValidator(digits, edit));
    edit->setFixedWidth(width);
    return edit;
}

// Wide enough for its longest entry, which arrives only when the dialog is initialised.
QComboBox* DropDown(const char* longest)
{
    auto* list = new QComboBox;
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    list->setMinimumWidth(list->fontMetrics().horizontalAdvance(QString::fromUtf8(longest)) + 40);
    return list;
}

// A spin button as tall as the edit beside it.
CSpinButton* SpinFor(QLineEdit* edit)
{
    auto* spin = new CSpinButton;
    spin->setFixedHeight(edit->sizeHint().height());
    return spin;
}
} // namespace

QMenuBar* CKavexWindow::BuildMenu()
{
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("m%1").arg(Menu));
    QMenu* file = bar->addMenu(QStringLiteral("File"));
    m_actions.insert(CmdOpenSource, file->addAction(QStringLiteral("&Open source data-set")));
    m_actions.insert(CmdSetDestination, file->addAction(QStringLiteral("Set destination data-set")));
    QAction* preview = file->addAction(QStringLiteral("&Preview..."));
    preview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_actions.insert(CmdPreview, preview);
    file->addSeparator();
    m_actions.insert(CmdExit, file->addAction(QStringLiteral("E&xit")));
    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    m_actions.insert(CmdHelp, help->addAction(QStringLiteral("&Help")));
    m_actions.insert(CmdAbout, help->addAction(QStringLiteral("&About")));
    m_actions.value(CmdSetDestination)->setEnabled(false);
    return bar;
}

QHBoxLayout* CKavexWindow::BuildDataSetRow(QGroupBox* group, int32_t browseId, int32_t nameId)
{
    auto* row = new QHBoxLayout(group);
    auto* browse = Add(browseId, new QPushButton(QStringLiteral("...")));
    browse->setFixedWidth(32);
    row->addWidget(browse);
    auto* name = Add(nameId, new CElidedLabel);
    name->SetFullText(QStringLiteral("/..."));
    row->addWidget(name, 1);
    return row;
}

QGroupBox* CKavexWindow::BuildSourceGroup()
{
    QGroupBox* group = Group(GroupSource, "Source data set");
    QHBoxLayout* row = BuildDataSetRow(group, SourceBrowse, SourceName);
    row->addWidget(Add(LayersLabel, Label("Number of layers:")));
    auto* layers = Add(LayersValue, Label("9999", Qt::AlignRight | Qt::AlignVCenter));
    layers->setMinimumWidth(layers->fontMetrics().horizontalAdvance(QStringLiteral("99999")));
    row->addWidget(layers);
    return group;
}

QGroupBox* CKavexWindow::BuildDestinationGroup()
{
    QGroupBox* group = Group(GroupDest, "Destination data set");
    BuildDataSetRow(group, DestBrowse, DestName)->addWidget(Add(FormatList, DropDown("jpg")));
    return group;
}

// ids: value at the left end, bar, value at the right end, Hounsfield left, their label, right.
QGroupBox* CKavexWindow::BuildPaletteBox(int32_t groupId, const char* title, const int32_t ids[6])
{
    QGroupBox* box = Group(groupId, title);
    auto* grid = new QGridLayout(box);
    grid->addWidget(Add(ids[0], Label("65535", Qt::AlignRight | Qt::AlignVCenter)), 0, 0);
    grid->addWidget(Add(ids[1], new CPaletteBar), 0, 1);
    grid->addWidget(Add(ids[2], Label("65535")), 0, 2);
    grid->addWidget(Add(ids[3], Label("Undefined", Qt::AlignRight | Qt::AlignVCenter)), 1, 0);
    grid->addWidget(Add(ids[4], Label("<-- Hounsfield units -->", Qt::AlignCenter)), 1, 1);
    grid->addWidget(Add(ids[5], Label("Undefined")), 1, 2);
    grid->setColumnStretch(1, 1);
    return box;
}

QGroupBox* CKavexWindow::BuildPaletteGroup()
{
    QGroupBox* group = Group(GroupPalette, "Colour palette");
    auto* column = new QVBoxLayout(group);
    const int32_t source[6] = {SourceMinValue,       SourcePaletteBar,      SourceMaxValue,
                               SourceHounsfieldLeft, SourceHounsfieldLabel, SourceHounsfieldRight};
    const int32_t dest[6] = {DestMinValue,       DestPaletteBar,      DestMaxValue,
                             DestHounsfieldLeft, DestHounsfieldLabel, DestHounsfieldRight};
    column->addWidget(BuildPaletteBox(GroupSourcePalette, "Source colour palette", source));
    column->addWidget(BuildPaletteBox(GroupDestPalette, "Destination colour palette", dest));
    return group;
}

QGroupBox* CKavexWindow::BuildShiftGroup()
{
    QGroupBox* group = Group(GroupShift, "Shift options");
    auto* grid = new QGridLayout(group);
    const struct
    {
        int32_t label, edit, spin;
        const char* text;
        bool sign;
    } rows[] = {{TopLabel, TopEdit, TopSpin, "Top layer (*)", false},
                {BottomLabel, BottomEdit, BottomSpin, "Bottom layer (*)", false},
                {ShiftLabel, ShiftEdit, ShiftSpin, "Shift (*)", true}};
    int r = 0;
    for (const auto& row : rows)
    {
        grid->addWidget(Add(row.label, Label(row.text)), r, 0);
        auto* edit = Add(row.edit, NumberEdit(row.sign, 64));
        edit->installEventFilter(this);
        grid->addWidget(edit, r, 1);
        grid->addWidget(Add(row.spin, SpinFor(edit)), r, 2);
        ++r;
    }
    grid->setRowStretch(r, 1);
    return group;
}

QGroupBox* CKavexWindow::BuildJpegGroup()
{
    QGroupBox* group = Group(GroupJpegQuality, "Image compression quality");
    auto* grid = new QGridLayout(group);
    auto* slider = Add(JpegSlider, new QSlider(Qt::Horizontal));
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setMinimumWidth(140);
    grid->addWidget(Add(JpegLowLabel, Label("0 (lowest)")), 0, 0);
    grid->addWidget(slider, 0, 1);
    grid->addWidget(Add(JpegHighLabel, Label("100 (highest)")), 0, 2);
    auto* row = new QHBoxLayout;
    auto* edit = Add(JpegEdit, NumberEdit(false, 48));
    edit->setReadOnly(true);
    row->addStretch(1);
    row->addWidget(edit);
    row->addWidget(Add(JpegSpin, SpinFor(edit)));
    row->addStretch(1);
    grid->addLayout(row, 1, 0, 1, 3);
    return group;
}

QGroupBox* CKavexWindow::BuildOptionsGroup()
{
    QGroupBox* group = Group(GroupOptions, "Options");
    auto* row = new QHBoxLayout(group);

    QGroupBox* resizing = Group(GroupResizing, "Resizing");
    auto* grid = new QGridLayout(resizing);
    grid->addWidget(Add(ResizeLabel, Label("Resizing")), 0, 0);
    grid->addWidget(Add(ResizeList, DropDown("No resizing")), 0, 1);
    grid->addWidget(Add(InterpolationLabel, Label("Quality")), 1, 0);
    grid->addWidget(Add(InterpolationList, DropDown("3D averaging interpolation (slow)")), 1, 1);
    grid->setRowStretch(2, 1);
    row->addWidget(resizing);

    QGroupBox* additional = Group(GroupAdditional, "Additional");
    auto* checks = new QVBoxLayout(additional);
    checks->addWidget(Add(GenerateVgi, new QCheckBox(QStringLiteral("Generate vgi file"))));
    checks->addWidget(Add(KeepFileDate, new QCheckBox(QStringLiteral("Keep original file date and time"))));
    checks->addWidget(Add(InvertPalette, new QCheckBox(QStringLiteral("Invert colour palette"))));
    checks->addWidget(Add(InvertRawData, new QCheckBox(QStringLiteral("Invert raw data"))));
    checks->addStretch(1);
    row->addWidget(additional);

    row->addWidget(BuildJpegGroup(), 1);
    return group;
}

QGroupBox* CKavexWindow::BuildConversionGroup()
{
    QGroupBox* group = Group(GroupConversion, "Conversion options");
    auto* grid = new QGridLayout(group);
    grid->addWidget(BuildPaletteGroup(), 0, 0);
    grid->addWidget(BuildShiftGroup(), 0, 1);
    grid->addWidget(BuildOptionsGroup(), 1, 0, 1, 2);
    auto* row = new QHBoxLayout;
    row->addWidget(Add(SaveDefault, new QPushButton(QStringLiteral("Save as default"))));
    row->addWidget(Label("* = Not saved as default"));
    row->addStretch(1);
    grid->addLayout(row, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    return group;
}

QWidget* CKavexWindow::BuildRunRow()
{
    auto* widget = new QWidget;
    auto* row = new QHBoxLayout(widget);
    row->setContentsMargins(0, 0, 0, 0);
    auto* start = Add(Start, new QPushButton(QStringLiteral("Start converting")));
    start->setMinimumWidth(start->fontMetrics().horizontalAdvance(QStringLiteral("Restart converting")) + 24);
    row->addWidget(start);
    row->addWidget(Add(Progress, new CTextProgressWidget), 1);
    return widget;
}

void CKavexWindow::BuildControls()
{
    setWindowTitle(QStringLiteral("Kavex v2.0"));
    auto* column = new QVBoxLayout(this);
    column->setMenuBar(BuildMenu());
    column->addWidget(BuildSourceGroup());
    column->addWidget(BuildDestinationGroup());
    column->addWidget(BuildConversionGroup(), 1);
    column->addWidget(BuildRunRow());
    // Buttons in this dialog act on a click only: Enter belongs to the layer edits.
    for (QPushButton* button : findChildren<QPushButton*>())
    {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}
