#include "render/thumbnail.h"

#include "core/dib.h"
#include "render/pictureexport.h"
#include "render/renderer.h"
#include "render/viewstate.h"

#include <algorithm>
#include <cmath>

QImage renderThumbnail(Document &doc, const dib &image, const RenderInputs &in, int maxSide)
{
    if (!image.poi || maxSide < 1)
        return {};
    const int longer = std::max(DibWidth(image), DibHeight(image));
    // Drawn straight at about the small size, so a large plan costs no more than its preview:
    // at the next whole percent, then reduced smoothly to exactly the size asked for.
    ViewState view = in.view;
    view.zoomPercent = std::clamp(static_cast<int>(std::ceil(100.0 * maxSide / longer)), 1, 100);
    const RenderInputs small{.view = view, .settings = in.settings,
                             .scale = in.scale, .numbers = in.numbers, .pass = in.pass};
    QImage picture;
    if (!renderPicture(picture, doc, image, small, in.settings.showPicture))
        return {};
    if (std::max(picture.width(), picture.height()) > maxSide)
        picture = picture.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}
