#include "core/picture.h"

#include <utility>

Picture::Picture(dib &&taken) noexcept : image(std::exchange(taken, dib{})) {}

Picture::~Picture()
{
    deldib(image);
}

Picture::Picture(Picture &&other) noexcept : image(std::exchange(other.image, dib{})) {}

Picture &Picture::operator=(Picture &&other) noexcept
{
    if (this != &other) {
        deldib(image);
        image = std::exchange(other.image, dib{});
    }
    return *this;
}
