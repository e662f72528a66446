#pragma once

#include <optional>

// The state of the keyboard's lock keys, as far as the window system tells it.
namespace LockKeys
{
enum class EKey
{
    Caps,
    Num,
    Scroll,
};

// Whether the key's light is on; nothing where the platform cannot tell (no X11 display, or a
// keymap without that indicator).
std::optional<bool> GetState(EKey nKey);
} // namespace LockKeys
