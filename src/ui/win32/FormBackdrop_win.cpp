#include "ui/win32/FormBackdrop_win.h"

#include "ui/win32/FormPainter_win.h"

namespace kiv {

void FormBackdrop::Configure(HWND form, UINT dpi, HICON picture) {
    form_ = form;
    dpi_ = dpi;
    picture_ = picture;
    valid_ = false;
}

bool FormBackdrop::Prepare() {
    RECT client = {};
    GetClientRect(form_, &client);
    if (valid_ && EqualRect(&client, &client_)) {
        return true;
    }
    if (client.right <= 0 || client.bottom <= 0) {
        return false;
    }
    if (!buffer_ || client.right != client_.right || client.bottom != client_.bottom) {
        buffer_.reset();
        const WindowDc screen(form_);
        buffer_.emplace(screen.Get(), client.right, client.bottom);
        if (!*buffer_) {
            buffer_.reset();
            return false;
        }
    }
    PaintUpdateForm(buffer_->Dc(), client, dpi_, picture_);
    client_ = client;
    valid_ = true;
    return true;
}

bool FormBackdrop::CopyTo(HDC target, int x, int y, const RECT& source) {
    return Prepare() && buffer_->CopyTo(target, x, y, source);
}

void FormBackdrop::Draw(HDC target, const RECT& area) {
    if (CopyTo(target, area.left, area.top, area)) {
        return;
    }
    RECT client = {};
    GetClientRect(form_, &client);
    PaintUpdateForm(target, client, dpi_, picture_);
}

}  // namespace kiv
