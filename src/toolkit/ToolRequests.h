// SPDX-License-Identifier: MIT
// What a tool window asks of the rest of the program, by action: another window does the work and hands
// back the result. The application implements it once, so no tool window knows another.
#pragma once

#include <functional>

class QDialog;
class QImage;

// A picture a tool can have filtered, cropped or decorated in place.
enum class SharedPicture { DocumentImage, TextImage3D };

class ToolRequests {
public:
    virtual ~ToolRequests() = default;

    // Shows a window modally; returns when it closes.
    virtual void showModal(QDialog* window) = 0;
    // Shows one picture large ("View results"), modally.
    virtual void showResult(const QImage& picture) = 0;
    // Lets the user filter `picture` in the filter gallery; `filtered` receives the result of its "Ok".
    virtual void filterPicture(const QImage& picture, std::function<void(const QImage&)> filtered) = 0;
    // Lets the user crop, tile and flip the picture in the crop window, which writes it back.
    virtual void cropPicture(SharedPicture picture) = 0;
    // Lets the user place `overlay` over the picture in the overlay editor, whose "Ok" merges into it.
    virtual void placeOver(SharedPicture picture, const QImage& overlay) = 0;
    // Lets the user pick an effect overlay and place it over the picture.
    virtual void addEffectTo(SharedPicture picture) = 0;
};
