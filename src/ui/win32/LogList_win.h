#pragma once

#include <string>

#include "platform/win32/Windows_win.h"

namespace kiv {

// The log list box. While the pass holds it, lines are added without drawing anything;
// a display frame then shows what they change on screen, and only that: the lines that
// land in view, and the scroll bar when its thumb moves. Under wine a list box that
// draws again redraws its themed scroll bar at once, about 6 ms each time, and past a few
// hundred lines the thumb stays where it is while thousands more come.
class LogList {
public:
    void Attach(HWND list) { list_ = list; }
    HWND Handle() const { return list_; }

    void Add(const std::wstring& line);
    // Lines added from now on are only counted until ShowHeld or Release.
    void Hold();
    // Puts on screen what the lines held back change there, and goes on holding.
    void ShowHeld();
    // Draws again, repainting nothing: what was held is on screen (ShowHeld).
    void Release();

private:
    // Where the scroll bar's thumb is drawn; unknown counts as moved.
    struct Thumb {
        bool known = false;
        LONG top = 0;
        LONG bottom = 0;
        bool operator!=(const Thumb& other) const {
            return !known || !other.known || top != other.top || bottom != other.bottom;
        }
    };

    // The lines in view: the first, a page's worth, and those that show even in part.
    struct View {
        int top;
        int page;
        int linesInView;
    };

    void RepaintHeld();
    View CurrentView() const;
    bool HeldLinesLandInView(const View& view) const;
    void SetScrollRangeQuietly(int count, const View& view);
    bool ThumbMoved() const;
    void RememberShown();
    Thumb CurrentThumb() const;
    int Count() const;

    HWND list_ = nullptr;
    bool held_ = false;
    int shownCount_ = 0;
    Thumb shownThumb_;
};

}  // namespace kiv
