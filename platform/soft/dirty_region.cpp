#include "platform/soft/dirty_region.h"

#include <algorithm>

namespace {

long long area(const DirtyRect& r) {
    return static_cast<long long>(r.width) * r.height;
}

DirtyRect bounding_box(const DirtyRect& a, const DirtyRect& b) {
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width);
    const int bottom = std::max(a.y + a.height, b.y + b.height);
    return DirtyRect{left, top, right - left, bottom - top};
}

// Joining costs nothing when the joint box holds no pixel that neither rectangle
// holds: neighbours edge to edge, overlapping rectangles, one inside the other.
bool joins_for_free(const DirtyRect& a, const DirtyRect& b) {
    return area(bounding_box(a, b)) <= area(a) + area(b) && a.x <= b.x + b.width &&
           b.x <= a.x + a.width && a.y <= b.y + b.height && b.y <= a.y + a.height;
}

bool clip(DirtyRect* r, int bounds_width, int bounds_height) {
    const int left = std::max(r->x, 0);
    const int top = std::max(r->y, 0);
    const int right = std::min(r->x + r->width, bounds_width);
    const int bottom = std::min(r->y + r->height, bounds_height);
    if (right <= left || bottom <= top) return false;
    *r = DirtyRect{left, top, right - left, bottom - top};
    return true;
}

}  // namespace

void dirty_add(DirtyRegion* region, DirtyRect rect, int bounds_width, int bounds_height) {
    if (!clip(&rect, bounds_width, bounds_height)) return;
    auto& rects = region->rects;
    // A joint rectangle may now touch another one: keep joining until none does.
    for (bool joined = true; joined;) {
        joined = false;
        for (auto it = rects.begin(); it != rects.end(); ++it) {
            if (joins_for_free(*it, rect)) {
                rect = bounding_box(*it, rect);
                rects.erase(it);
                joined = true;
                break;
            }
        }
    }
    rects.push_back(rect);
    if (rects.size() > DIRTY_RECTS_MAX) {
        DirtyRect all = rects.front();
        for (const DirtyRect& r : rects)
            all = bounding_box(all, r);
        rects.assign(1, all);
    }
}
