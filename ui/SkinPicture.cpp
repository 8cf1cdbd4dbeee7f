#include "ui/SkinPicture.h"

SkinPicture LoadSkinPicture(HINSTANCE instance, int id) {
    SkinPicture picture;
    picture.bitmap = BitmapHandle(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (picture.bitmap && GetObjectW(picture.bitmap.Get(), sizeof info, &info) != 0) {
        picture.size = {info.bmWidth, info.bmHeight};
    }
    return picture;
}

void DrawSkinPicture(HDC target, const RECT& where, const SkinPicture& picture) {
    if (!picture.bitmap) return;
    const MemoryDc source(CreateCompatibleDC(target));
    if (!source) return;
    const SavedDcState state = SaveDcState(source.Get());
    SelectObject(source.Get(), picture.bitmap.Get());
    StretchBlt(target, where.left, where.top, where.right - where.left, where.bottom - where.top,
               source.Get(), 0, 0, picture.size.cx, picture.size.cy, SRCCOPY);
}

void PlaceControl(HWND dialog, int id, POINT at, SIZE size) {
    SetWindowPos(GetDlgItem(dialog, id), nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER);
}

void FitClientArea(HWND dialog, SIZE client) {
    if (client.cx <= 0 || client.cy <= 0) return;  // no skin: keep the template's size
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

void DrawSkinBackground(HWND window, HDC target, const SkinPicture& skin) {
    RECT client{};
    GetClientRect(window, &client);
    DrawSkinPicture(target, client, skin);
}

const SkinPicture& PictureFor(const SkinPicture (&pictures)[2], UINT itemState) {
    return pictures[(itemState & ODS_SELECTED) != 0 ? 1 : 0];
}
