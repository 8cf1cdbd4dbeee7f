// Owner for a menu loaded from the resources; destroyed with DestroyMenu.
#pragma once

#include <windows.h>

class MenuHandle {
public:
    explicit MenuHandle(HMENU menu) : menu(menu) {}
    ~MenuHandle() {
        if (menu != nullptr) DestroyMenu(menu);
    }
    MenuHandle(const MenuHandle&) = delete;
    MenuHandle& operator=(const MenuHandle&) = delete;

    HMENU Get() const { return menu; }

private:
    HMENU menu;
};
