#include "scan/scannedimages.h"

#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QPointer>

#include <map>

namespace {

struct Waiting {
    dib image;
    QPointer<const QObject> receiver;
};

QMutex imagesMutex;
std::map<quintptr, Waiting> waiting;
quintptr lastId = 0;

} // namespace

quintptr storeScannedImage(const dib &image, const QObject *receiver)
{
    const QMutexLocker lock(&imagesMutex);
    for (auto it = waiting.begin(); it != waiting.end();) {
        if (it->second.receiver) {
            ++it;
            continue;
        }
        FreeDib(it->second.image);
        it = waiting.erase(it);
    }
    const quintptr id = ++lastId;
    waiting.emplace(id, Waiting{image, receiver});
    return id;
}

bool takeScannedImage(quintptr id, dib &out)
{
    const QMutexLocker lock(&imagesMutex);
    const auto it = waiting.find(id);
    if (it == waiting.end())
        return false;
    out = it->second.image;
    waiting.erase(it);
    return true;
}

void discardScannedImages()
{
    const QMutexLocker lock(&imagesMutex);
    for (auto &[id, entry] : waiting)
        FreeDib(entry.image);
    waiting.clear();
}
