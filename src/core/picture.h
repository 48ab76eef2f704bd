#pragma once

#include "core/dib.h"

// One image record that owns its blocks and releases them when it goes, so no holder of a
// picture releases one by hand. Readers that fill an empty record in place (OpenDib, newdib, the
// project reader) fill record() of a fresh picture; a picture that was never filled holds no
// image.
class Picture
{
public:
    Picture() = default;
    // Takes over the blocks of image; image is left empty.
    explicit Picture(dib &&image) noexcept;
    ~Picture();
    Picture(Picture &&other) noexcept;
    Picture &operator=(Picture &&other) noexcept;
    Picture(const Picture &) = delete;
    Picture &operator=(const Picture &) = delete;

    const dib &get() const { return image; }
    dib &record() { return image; }
    bool isNull() const { return image.poi == nullptr; }

private:
    dib image;
};
