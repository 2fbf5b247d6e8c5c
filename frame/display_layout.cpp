// The factor rules and the choice of monitor.
#include "frame/display_layout.h"

#include <algorithm>

#include "frame/globals.h"
#include "frame/options.h"

namespace vexlorn {

Area intersection(const Area& a, const Area& b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top) return Area{};
    return Area{left, top, right - left, bottom - top};
}

static int roomHigh(bool windowed, int monitorHeight) {
    return windowed ? monitorHeight - windowHeightReserve : monitorHeight;
}

static bool fits(bool windowed, int factor, int monitorWidth, int monitorHeight) {
    return screenWidth * factor <= monitorWidth &&
           screenHeight * factor <= roomHigh(windowed, monitorHeight);
}

int chooseFactor(bool windowed, int asked, int monitorWidth, int monitorHeight) {
    int largest = 1;
    while (largest < largestScale && fits(windowed, largest + 1, monitorWidth, monitorHeight)) {
        ++largest;
    }
    if (asked < 1 || asked > largestScale) return windowed ? 1 : largest;
    return std::min(asked, largest);
}

bool usesFill(bool windowed, int asked, int monitorWidth, int monitorHeight) {
    if (asked == fillScale)
        return fillSize(windowed, monitorWidth, monitorHeight).width > screenWidth;
    if (windowed || (asked >= 1 && asked <= largestScale)) return false;
    return chooseFactor(false, 0, monitorWidth, monitorHeight) == 1 &&
           monitorWidth * 4 >= screenWidth * 5 && monitorHeight * 4 >= screenHeight * 5;
}

Area fillSize(bool windowed, int monitorWidth, int monitorHeight) {
    const int high = roomHigh(windowed, monitorHeight);
    int width = std::min(monitorWidth, high * screenWidth / screenHeight);
    int height = width * screenHeight / screenWidth;
    if (width < screenWidth || height < screenHeight) return Area{0, 0, screenWidth, screenHeight};
    return Area{0, 0, width, height};
}

Scale chooseScale(bool windowed, int asked, int monitorWidth, int monitorHeight) {
    return Scale{chooseFactor(windowed, asked, monitorWidth, monitorHeight),
                 usesFill(windowed, asked, monitorWidth, monitorHeight)};
}

int nextScale(bool windowed, const Scale& shown, int monitorWidth, int monitorHeight) {
    const int largest = chooseFactor(windowed, largestScale, monitorWidth, monitorHeight);
    const bool fillLarger =
        fillSize(windowed, monitorWidth, monitorHeight).width > screenWidth * largest;
    if (shown.fill) return 1;
    if (shown.factor < largest) return shown.factor + 1;
    return fillLarger ? fillScale : 1;
}

Area chooseMonitor(const std::vector<Monitor>& monitors, const Area& root) {
    const Monitor* chosen = nullptr;
    for (const Monitor& monitor : monitors) {
        if (monitor.area.x != root.x || monitor.area.y != root.y) continue;
        if (monitor.area.width <= 0 || monitor.area.height <= 0) continue;
        if (chosen == nullptr || (monitor.primary && !chosen->primary)) chosen = &monitor;
    }
    return chosen != nullptr ? chosen->area : root;
}

bool monitorHolding(const std::vector<Monitor>& monitors, const Area& window, Area& chosen) {
    long most = 0;
    for (const Monitor& monitor : monitors) {
        const Area shared = intersection(monitor.area, window);
        const long size = static_cast<long>(shared.width) * shared.height;
        if (size <= most) continue;
        most = size;
        chosen = monitor.area;
    }
    return most > 0;
}

Area placePicture(int screenWidthNow, int screenHeightNow, const Area& monitor, int factor) {
    Area picture;
    picture.width = screenWidth * factor;
    picture.height = screenHeight * factor;
    Area around = monitor;
    if (monitor.x < 0 || monitor.y < 0 || monitor.x + monitor.width > screenWidthNow ||
        monitor.y + monitor.height > screenHeightNow) {
        around = Area{0, 0, screenWidthNow, screenHeightNow};
    }
    picture.x = around.x + std::max(0, (around.width - picture.width) / 2);
    picture.y = around.y + std::max(0, (around.height - picture.height) / 2);
    return picture;
}

}  // namespace vexlorn
