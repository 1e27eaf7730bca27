#include "ui/win32/LogList_win.h"

#include <algorithm>

namespace kiv {

void LogList::Add(const std::wstring& line) {
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void LogList::Hold() {
    if (!held_) {
        held_ = true;
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        RememberShown();
    }
}

void LogList::ShowHeld() {
    if (!held_) {
        return;
    }
    const int count = Count();
    if (count == shownCount_) {
        return;
    }
    const View view = CurrentView();
    if (!HeldLinesLandInView(view)) {
        // Below the view they change only the scroll bar, which is drawn only when its
        // thumb moves.
        SetScrollRangeQuietly(count, view);
        if (!ThumbMoved()) {
            return;
        }
    }
    RepaintHeld();
    RememberShown();
}

// Letting go makes the list box set its scroll bar; lines added while it was held
// invalidated nothing, so the first of them and all below it are repainted.
void LogList::RepaintHeld() {
    RECT firstNew = {};
    SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(shownCount_),
                 reinterpret_cast<LPARAM>(&firstNew));
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    RECT below = {};
    GetClientRect(list_, &below);
    below.top = std::max(below.top, firstNew.top);
    if (below.top < below.bottom) {
        InvalidateRect(list_, &below, TRUE);
    }
    RedrawWindow(list_, nullptr, nullptr, RDW_UPDATENOW);
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
}

void LogList::Release() {
    if (held_) {
        held_ = false;
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    }
}

LogList::View LogList::CurrentView() const {
    RECT client = {};
    GetClientRect(list_, &client);
    const int lineHeight =
        std::max(1, static_cast<int>(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0)));
    const int top = static_cast<int>(SendMessageW(list_, LB_GETTOPINDEX, 0, 0));
    const int page = std::max(1, static_cast<int>(client.bottom) / lineHeight);
    const int linesInView = (static_cast<int>(client.bottom) + lineHeight - 1) / lineHeight;
    return {top, page, linesInView};
}

// New lines land in view, or the scroll bar is about to appear.
bool LogList::HeldLinesLandInView(const View& view) const {
    return shownCount_ <= view.top + view.linesInView;
}

// The range of `count` lines, given without drawing, with the values the list box itself
// will give it.
void LogList::SetScrollRangeQuietly(int count, const View& view) {
    SCROLLINFO range = {};
    range.cbSize = sizeof(range);
    range.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    range.nMax = count - 1;
    range.nPage = static_cast<UINT>(view.page);
    range.nPos = view.top;
    SetScrollInfo(list_, SB_VERT, &range, FALSE);
}

bool LogList::ThumbMoved() const {
    return CurrentThumb() != shownThumb_;
}

void LogList::RememberShown() {
    shownCount_ = Count();
    shownThumb_ = CurrentThumb();
}

LogList::Thumb LogList::CurrentThumb() const {
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    if (!GetScrollBarInfo(list_, OBJID_VSCROLL, &bar)) {
        return {};
    }
    return {true, bar.xyThumbTop, bar.xyThumbBottom};
}

int LogList::Count() const {
    return static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
}

}  // namespace kiv
