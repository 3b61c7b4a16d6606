#pragma once

#include <QToolButton>
#include <array>
#include <functional>

class QColorDialog;
class QMenu;
class QGridLayout;

// Brush colour chooser: a button showing the colour, with a drop-down of 20 fixed colours (4 x 5),
// 16 custom slots (8 x 2, white at start) and "&Other", which opens the colour dialog offering the
// custom colours and keeps the ones it returns. Colours are 00BBGGRR values.
class ColorButton : public QToolButton
{
    Q_OBJECT
public:
    static constexpr int paletteColumns = 4;
    static constexpr int customColumns = 8;
    static constexpr int customCount = 16;
    // Row by row: white, red, lime, blue; light green, black, dark red, dark green; navy, light
    // blue, light grey, yellow; aqua, fuchsia, cream, grey; olive, teal, purple, silver grey.
    static const std::array<int, 20> palette;

    explicit ColorButton(QWidget *parent = nullptr);

    int colour() const { return current; }
    void setColour(int colour);

    std::array<int, customCount> customColours;

    // The drop-down part: fixed colours, custom slots and the "&Other" button.
    QMenu *dropDown() const { return menu; }
    // Picks a colour as a click on a swatch does, closing the drop-down.
    void pick(int colour);
    // "&Other": the colour dialog with the custom colours.
    void OtherClick();

    // Runs the dialog; returns whether it was confirmed. Tests put a stand-in here.
    std::function<bool(QColorDialog &)> runDialog;

signals:
    void colourChanged(int colour);
    // The player chose a colour, the same as before or not.
    void picked(int colour);

private:
    void refreshCustom();
    void refreshFace();
    QMenu *menu = nullptr;
    QGridLayout *customGrid = nullptr;
    int current = 0;
};
