#pragma once

#include <QApplication>
#include <QPalette>
#include <QStyle>

#include <string>
#include <vector>

namespace grainlink::test {

struct NamedPalette {
    std::string name;
    QPalette palette;
};

inline QPalette MakePalette(QColor window, QColor text, QColor base)
{
    QPalette palette(window);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, window);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Button, window);
        palette.setColor(group, QPalette::ButtonText, text);
    }
    return palette;
}

// Dark system palettes as desktops ship them: a neutral dark grey, and a near-black one with
// dimmed text.
inline std::vector<NamedPalette> DarkPalettes()
{
    return {
        {"dark grey", MakePalette(QColor(0x35, 0x35, 0x35), Qt::white, QColor(0x2a, 0x2a, 0x2a))},
        {"near black", MakePalette(QColor(0x1e, 0x1e, 0x1e), QColor(0xbb, 0xbb, 0xbb),
                                   QColor(0x12, 0x12, 0x12))}};
}

// The style's own light palette and a white one.
inline std::vector<NamedPalette> LightPalettes()
{
    return {{"style", QApplication::style()->standardPalette()},
            {"white", MakePalette(Qt::white, Qt::black, Qt::white)}};
}

// The application's palette for the lifetime of the object, as the system would give it; windows
// take their colours from it when they are made.
class ScopedAppPalette {
public:
    explicit ScopedAppPalette(const QPalette& palette) { QApplication::setPalette(palette); }
    ~ScopedAppPalette() { QApplication::setPalette(m_previous); }

    ScopedAppPalette(const ScopedAppPalette&) = delete;
    ScopedAppPalette& operator=(const ScopedAppPalette&) = delete;

private:
    QPalette m_previous = QApplication::palette();
};

}  // namespace grainlink::test
