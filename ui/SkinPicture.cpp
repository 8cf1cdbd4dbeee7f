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
