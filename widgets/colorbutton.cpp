#include "widgets/colorbutton.h"

#include "protocol/colortext.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidgetAction>

const std::array<int, 20> ColorButton::palette = {
    colortext::clWhite, colortext::clRed,     colortext::clLime, colortext::clBlue,   //
    0x00BFD7BF,         colortext::clBlack,   0x0000007F,        0x00007F00,          //
    0x007F0000,         0x00EFBF9F,           0x00BFBFBF,        colortext::clYellow, //
    colortext::clAqua,  colortext::clFuchsia, 0x00EFF7FF,        0x007F7F7F,          //
    0x00007F7F,         0x007F7F00,           0x007F007F,        0x009F9F9F,          //
};

namespace {

QIcon swatch(int colour, QSize size)
{
    QPixmap pm(size);
    pm.fill(colortext::toQColor(colour));
    QPainter p(&pm);
    p.setPen(QColor(96, 96, 96));
    p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return QIcon(pm);
}

// The fixed colours are twice as wide as the custom slots, so both grids fill the same width.
const QSize paletteSwatch(38, 18);
const QSize customSwatch(16, 16);

QToolButton *swatchButton(QWidget *parent, int colour, QSize size)
{
    auto *b = new QToolButton(parent);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIconSize(size);
    b->setIcon(swatch(colour, size));
    b->setToolTip(colortext::toText(colour));
    b->setProperty("colour", colour);
    return b;
}

} // namespace

ColorButton::ColorButton(QWidget *parent) : QToolButton(parent)
{
    customColours.fill(colortext::clWhite);
    runDialog = [](QColorDialog &d) { return d.exec() == QDialog::Accepted; };
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIconSize(QSize(28, 14));
    setToolTip(QStringLiteral("Brush color"));

    menu = new QMenu(this);
    auto *panel = new QWidget(menu);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);

    auto *fixedGrid = new QGridLayout;
    fixedGrid->setSpacing(1);
    for (int i = 0; i < int(palette.size()); ++i) {
        QToolButton *b = swatchButton(panel, palette[i], paletteSwatch);
        b->setObjectName(QStringLiteral("palette%1").arg(i));
        connect(b, &QToolButton::clicked, this, [this, i] { pick(palette[i]); });
        fixedGrid->addWidget(b, i / paletteColumns, i % paletteColumns);
    }
    column->addLayout(fixedGrid);

    customGrid = new QGridLayout;
    customGrid->setSpacing(1);
    for (int i = 0; i < customCount; ++i) {
        QToolButton *b = swatchButton(panel, customColours[i], customSwatch);
        b->setObjectName(QStringLiteral("custom%1").arg(i));
        connect(b, &QToolButton::clicked, this, [this, i] { pick(customColours[i]); });
        customGrid->addWidget(b, i / customColumns, i % customColumns);
    }
    column->addLayout(customGrid);

    auto *other = new QPushButton(QStringLiteral("&Other"), panel);
    other->setObjectName(QStringLiteral("other"));
    connect(other, &QPushButton::clicked, this, [this] {
        menu->hide();
        OtherClick();
    });
    column->addWidget(other);

    auto *action = new QWidgetAction(menu);
    action->setDefaultWidget(panel);
    menu->addAction(action);
    setMenu(menu);
    // The custom slots may have been changed from outside since the last showing.
    connect(menu, &QMenu::aboutToShow, this, &ColorButton::refreshCustom);
    setColour(colortext::clBlack);
}

void ColorButton::setColour(int colour)
{
    colour &= 0xFFFFFF;
    const bool change = colour != current;
    current = colour;
    refreshFace();
    if (change)
        emit colourChanged(current);
}

void ColorButton::pick(int colour)
{
    menu->hide();
    setColour(colour);
    emit picked(current);
}

void ColorButton::OtherClick()
{
    QColorDialog dialog(colortext::toQColor(current), window());
    for (int i = 0; i < customCount && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, colortext::toQColor(customColours[i]));
    if (!runDialog(dialog))
        return;
    for (int i = 0; i < customCount && i < QColorDialog::customCount(); ++i)
        customColours[i] = colortext::fromQColor(QColorDialog::customColor(i));
    refreshCustom();
    setColour(colortext::fromQColor(dialog.currentColor()));
    emit picked(current);
}

void ColorButton::refreshCustom()
{
    for (int i = 0; i < customCount; ++i) {
        auto *b = qobject_cast<QToolButton *>(customGrid->itemAt(i)->widget());
        b->setIcon(swatch(customColours[i], customSwatch));
        b->setToolTip(colortext::toText(customColours[i]));
        b->setProperty("colour", customColours[i]);
    }
}

void ColorButton::refreshFace()
{
    setIcon(swatch(current, iconSize()));
}
