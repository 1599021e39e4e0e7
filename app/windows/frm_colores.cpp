// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/frm_colores.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>

#include "common/colour_rules.h"
#include "display/colour_editor.h"
#include "display/drawing_surface.h"
#include "widgets/colours.h"
#include "widgets/place.h"

namespace {

constexpr std::array<ColourPart, 3> kParts{ColourPart::Red, ColourPart::Green, ColourPart::Blue};

QPushButton* button(QWidget* parent, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    // Enter belongs to the part boxes, not to a default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

void setColours(QWidget* w, int32_t back, int32_t fore) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, toQColor(back));
    palette.setColor(QPalette::WindowText, toQColor(fore));
    palette.setColor(QPalette::Base, toQColor(back));
    palette.setColor(QPalette::Text, toQColor(fore));
    w->setPalette(palette);
    w->setAutoFillBackground(true);
}

// The bars in greys that stand out from their frame whatever its colour:
// dark on a light frame, light on a dark one (the frame's own contrast rule).
void setBarColours(QScrollBar* bar, int32_t frame) {
    const QColor grey =
        ContrastColour(frame) == kColourBlack ? QColor(0x60, 0x60, 0x60) : QColor(0xE0, 0xE0, 0xE0);
    QPalette palette = bar->palette();
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base}) {
        palette.setColor(role, grey);
    }
    bar->setPalette(palette);
}

}  // namespace

FrmColores::FrmColores(QWidget* parent) : QDialog(parent), editor_(DefaultColours()) {
    setObjectName(QStringLiteral("FRM_COLORES"));
    setWindowTitle(QStringLiteral("Colores"));
    buildControls();
    connectHandlers();
}

void FrmColores::buildControls() {
    setFixedSize(twipsToPixelsX(5775), twipsToPixelsY(2175));
    Frame1 = place(new QGroupBox(this), QStringLiteral("Frame1"), 120, 0, 5535, 2055);

    // The output first, then E0 to E3, then the plot area, top to bottom.
    const std::array<const char*, 6> captions{"E&0", "E&1", "E&2", "E&3", "&SA", "&Pn"};
    const std::array<double, 6> tops{420, 720, 1020, 1320, 120, 1620};
    for (size_t i = 0; i < OPT_COL.size(); ++i) {
        OPT_COL[i] = place(new QRadioButton(QString::fromLatin1(captions[i]), Frame1),
                           QStringLiteral("OPT_COL_%1").arg(i), 120, tops[i], 585, 375);
        Lbl_col[i] = place(new QLabel(QStringLiteral("0"), Frame1),
                           QStringLiteral("Lbl_col_%1").arg(i), 720, tops[i] + 60, 255, 255);
        Lbl_col[i]->setAlignment(Qt::AlignCenter);
    }

    PIC_COLORES =
        place(new DrawingSurface(Frame1), QStringLiteral("PIC_COLORES"), 1080, 180, 735, 1755);
    PIC_COLORES->setAutoRedraw(true);

    PNL_CONTROLES = place(new QGroupBox(QStringLiteral("Color"), Frame1),
                          QStringLiteral("PNL_CONTROLES"), 1920, 240, 2115, 1695);
    const std::array<const char*, 3> names{"RED", "GREEN", "BLUE"};
    const std::array<double, 3> partTops{180, 660, 1140};
    // Red text on black, green on black, blue on white.
    const std::array<std::pair<int32_t, int32_t>, 3> boxColours{
        {{kColourBlack, 0x0000FF}, {kColourBlack, 0x00FF00}, {kColourWhite, 0xFF0000}}};
    std::array<QScrollBar*, 3> bars{};
    std::array<QLineEdit*, 3> boxes{};
    for (size_t i = 0; i < kParts.size(); ++i) {
        bars[i] = place(new QScrollBar(Qt::Horizontal, PNL_CONTROLES),
                        QStringLiteral("HSR_%1").arg(QLatin1String(names[i])), 180, partTops[i],
                        1215, 285);
        bars[i]->setRange(0, 255);
        boxes[i] = place(new QLineEdit(QStringLiteral("0"), PNL_CONTROLES),
                         QStringLiteral("TXT_%1").arg(QLatin1String(names[i])), 1380, partTops[i],
                         495, 285);
        setColours(boxes[i], boxColours[i].first, boxColours[i].second);
    }
    HSR_RED = bars[0];
    HSR_GREEN = bars[1];
    HSR_BLUE = bars[2];
    TXT_RED = boxes[0];
    TXT_GREEN = boxes[1];
    TXT_BLUE = boxes[2];

    CMD_REPONER = place(button(Frame1, QStringLiteral("&Reponer")), QStringLiteral("CMD_REPONER"),
                        4200, 240, 1215, 495);
    CMD_CANCELAR = place(button(Frame1, QStringLiteral("&Cancelar")),
                         QStringLiteral("CMD_CANCELAR"), 4200, 840, 1215, 495);
    CMD_ACEPTAR = place(button(Frame1, QStringLiteral("&Aceptar")), QStringLiteral("CMD_ACEPTAR"),
                        4200, 1440, 1215, 495);
}

void FrmColores::connectHandlers() {
    for (size_t i = 0; i < OPT_COL.size(); ++i) {
        connect(OPT_COL[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on || showing_) return;
            editor_.select(int(i));
            showSelection();
        });
    }
    for (const ColourPart part : kParts) {
        // Both a step and a drag (the bar tracks) change the colour at once.
        connect(bar(part), &QScrollBar::valueChanged, this,
                [this, part](int value) { barMoved(part, value); });
        box(part)->installEventFilter(this);
    }
    connect(CMD_ACEPTAR, &QPushButton::clicked, this, [this] { done(Accepted); });
    // Esc runs reject() too.
    connect(CMD_CANCELAR, &QPushButton::clicked, this, [this] { done(Rejected); });
    connect(CMD_REPONER, &QPushButton::clicked, this, [this] {
        editor_.reset();
        showSelection();
    });
}

std::optional<ColourTable> FrmColores::edit(const ColourTable& table) {
    load(table);
    if (exec() != Accepted) return std::nullopt;
    return editor_.table();
}

void FrmColores::load(const ColourTable& table) {
    editor_ = ColourEditor(table);
    showSelection();
}

QScrollBar* FrmColores::bar(ColourPart part) const {
    return part == ColourPart::Red ? HSR_RED : part == ColourPart::Green ? HSR_GREEN : HSR_BLUE;
}

QLineEdit* FrmColores::box(ColourPart part) const {
    return part == ColourPart::Red ? TXT_RED : part == ColourPart::Green ? TXT_GREEN : TXT_BLUE;
}

void FrmColores::showSelection() {
    showing_ = true;
    OPT_COL[size_t(editor_.selected())]->setChecked(true);
    for (const ColourPart part : kParts) {
        const int value = partValue(editor_.bars(), part);
        bar(part)->setValue(value);
        box(part)->setText(QString::number(value));
    }
    showing_ = false;
    RefreshColourPreview();
}

void FrmColores::barMoved(ColourPart part, int value) {
    if (showing_) return;
    box(part)->setText(QString::number(value));
    editor_.moveBar(part, value);
    RefreshColourPreview();
}

void FrmColores::partEntered(ColourPart part) {
    QLineEdit* typed = box(part);
    const PartEntry entry = readPartText(typed->text());
    if (entry.text) typed->setText(*entry.text);
    // The bar's change, when it moves, shows its value in the box.
    bar(part)->setValue(entry.value);
    const ColourPart next = part == ColourPart::Red     ? ColourPart::Green
                            : part == ColourPart::Green ? ColourPart::Blue
                                                        : ColourPart::Red;
    box(next)->setFocus(Qt::TabFocusReason);
}

void FrmColores::RefreshColourPreview() {
    const ColourTable& t = editor_.table();
    for (size_t i = 0; i < Lbl_col.size(); ++i) setLabelColours(Lbl_col[i], t[i][1], t[i][2]);
    DrawColourPreview(*PIC_COLORES, t);
    const auto& row = t[size_t(editor_.selected())];
    setColours(PNL_CONTROLES, row[1], row[2]);
    for (QScrollBar* b : {HSR_RED, HSR_GREEN, HSR_BLUE}) setBarColours(b, row[1]);
}

bool FrmColores::eventFilter(QObject* watched, QEvent* event) {
    for (const ColourPart part : kParts) {
        QLineEdit* b = box(part);
        if (watched != b) continue;
        if (event->type() == QEvent::FocusIn) {
            // After the click that gave the focus has placed the caret.
            QTimer::singleShot(0, b, [b] { b->selectAll(); });
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                partEntered(part);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmColores::closeEvent(QCloseEvent* event) {
    event->accept();
    done(Accepted);
}
