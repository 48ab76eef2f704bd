#include "core/recoverystore.h"

#include "core/translate.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr QByteArrayView RecoveryChunk("RCVR");

QString documentPath(const QString &folder)
{
    return folder + QStringLiteral("/document.ver");
}

QString picturePath(const QString &folder, qint64 number)
{
    return folder + QStringLiteral("/picture-%1.ver").arg(number);
}

// What the document part says about itself.
struct CopyInfo {
    std::int64_t time = 0; // milliseconds since 1970 UTC
    std::int64_t picture = 0;
    QString fileName;
};

QByteArray encodeInfo(const CopyInfo &info)
{
    return PayloadWriter().int64(info.time).int64(info.picture).string(info.fileName).bytes();
}

std::optional<CopyInfo> decodeInfo(const ProjectExtension &extension)
{
    const QByteArray *payload = extension.chunk(RecoveryChunk);
    if (!payload)
        return std::nullopt;
    CopyInfo info;
    PayloadReader in(*payload);
    if (!in.int64(info.time) || !in.int64(info.picture) || !in.string(info.fileName) || !in.finished()
        || info.picture <= 0)
        return std::nullopt;
    return info;
}

// True when the lock file is held by a running instance. A stale lock is removed.
bool heldByRunningInstance(const QString &lockPath)
{
    if (!QFileInfo::exists(lockPath))
        return false;
    QLockFile probe(lockPath);
    // Only a process that no longer runs makes a lock stale, however old the lock is.
    probe.setStaleLockTime(0);
    if (!probe.tryLock(0))
        return true;
    probe.unlock();
    return false;
}

// Reads a document part into doc and settings (the RCVR chunk removed) and its info.
bool readDocument(const QString &folder, Document &doc, ProjectSettings &settings, CopyInfo &info, QString *error)
{
    dib placeholder;
    ProjectSettings read;
    const bool loaded = loadProject(documentPath(folder), doc, placeholder, read, error);
    deldib(placeholder);
    if (!loaded)
        return false;
    const std::optional<CopyInfo> decoded = decodeInfo(read.extension);
    if (!decoded) {
        if (error)
            *error = Translate(QStringLiteral("Die Wiederherstellungskopie %1 ist unvollständig."))
                         .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    info = *decoded;
    read.extension.removeChunk(RecoveryChunk);
    settings = std::move(read);
    return true;
}

void replacePicture(dib &target, dib &source)
{
    std::swap(target.pmi, source.pmi);
    std::swap(target.poih, source.poih);
    std::swap(target.pmih, source.pmih);
    std::swap(target.poi, source.poi);
    std::swap(target.bytew, source.bytew);
    deldib(source);
}

} // namespace

SharedPicture sharePicture(dib &image)
{
    auto *owned = new dib(std::exchange(image, dib()));
    return SharedPicture(owned, [](const dib *d) {
        dib *held = const_cast<dib *>(d);
        deldib(*held);
        delete held;
    });
}

// Writes the parts handed over, pictures first, so that a document part never names a picture
// part that is not on disk yet; of several pending documents only the newest is written. On
// destruction it finishes what is pending.
class RecoveryStore::Worker
{
public:
    Worker(const QString &folder, RecoveryStore *store) : folder(folder), store(store)
    {
        thread = std::thread([this] { run(); });
    }

    ~Worker()
    {
        {
            std::lock_guard guard(mutex);
            stopping = true;
        }
        wake.notify_all();
        thread.join();
    }
    Worker(const Worker &) = delete;
    Worker &operator=(const Worker &) = delete;

    void picture(SharedPicture p, qint64 number)
    {
        {
            std::lock_guard guard(mutex);
            pendingPictures.emplace_back(std::move(p), number);
        }
        wake.notify_all();
    }

    void document(QByteArray bytes, qint64 picture)
    {
        {
            std::lock_guard guard(mutex);
            pendingDocument = std::move(bytes);
            pendingDocumentPicture = picture;
            documentPending = true;
        }
        wake.notify_all();
    }

    bool waitIdle(int msecs)
    {
        std::unique_lock guard(mutex);
        const auto done = [this] { return !busy && pendingPictures.empty() && !documentPending; };
        if (msecs < 0) {
            idle.wait(guard, done);
            return true;
        }
        return idle.wait_for(guard, std::chrono::milliseconds(msecs), done);
    }

    void dropPending()
    {
        std::lock_guard guard(mutex);
        pendingPictures.clear();
        documentPending = false;
        pendingDocument.clear();
    }

private:
    void run()
    {
        std::unique_lock guard(mutex);
        for (;;) {
            wake.wait(guard, [this] { return stopping || !pendingPictures.empty() || documentPending; });
            if (pendingPictures.empty() && !documentPending)
                break;
            busy = true;
            if (!pendingPictures.empty()) {
                auto [p, number] = std::move(pendingPictures.front());
                pendingPictures.erase(pendingPictures.begin());
                guard.unlock();
                if (writePicture(*p, number))
                    newestPicture = number;
                p.reset();
                guard.lock();
            } else {
                const QByteArray bytes = std::exchange(pendingDocument, QByteArray());
                const qint64 named = pendingDocumentPicture;
                documentPending = false;
                guard.unlock();
                if (write(documentPath(folder), [&](QIODevice &out) { return out.write(bytes) == bytes.size(); }))
                    removeUnusedPictures(named);
                guard.lock();
            }
            busy = false;
            idle.notify_all();
        }
        busy = false;
        idle.notify_all();
    }

    bool writePicture(const dib &p, qint64 number)
    {
        const Document none;
        return write(picturePath(folder, number),
                     [&](QIODevice &out) { return writeProject(out, none, p, ProjectSettings()); });
    }

    // Picture parts that neither the document on disk (naming named) nor a later document can name.
    void removeUnusedPictures(qint64 named)
    {
        const QStringList parts = QDir(folder).entryList({QStringLiteral("picture-*.ver")}, QDir::Files);
        for (const QString &part : parts) {
            bool ok = false;
            const qint64 number = part.mid(8, part.size() - 12).toLongLong(&ok);
            if (ok && number != named && number < std::max(named, newestPicture))
                QFile::remove(folder + QLatin1Char('/') + part);
        }
    }

    template<typename Write>
    bool write(const QString &path, Write &&content)
    {
        QSaveFile out(path);
        // The copy must not survive only half written: a failed write leaves the previous one.
        if (out.open(QIODevice::WriteOnly) && content(out) && out.commit())
            return true;
        const QString reason = out.errorString();
        out.cancelWriting();
        QMetaObject::invokeMethod(
            store,
            [store = store, path, reason] {
                emit store->writeFailed(Translate(QStringLiteral("Die Wiederherstellungskopie %1 konnte nicht "
                                                                 "geschrieben werden: %2"))
                                            .arg(QDir::toNativeSeparators(path), reason));
            },
            Qt::QueuedConnection);
        return false;
    }

    const QString folder;
    RecoveryStore *const store;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::vector<std::pair<SharedPicture, qint64>> pendingPictures;
    QByteArray pendingDocument;
    qint64 pendingDocumentPicture = 0;
    bool documentPending = false;
    bool busy = false;
    bool stopping = false;
    // Used by the worker thread alone.
    qint64 newestPicture = 0;
    std::thread thread;
};

RecoveryStore::RecoveryStore(QObject *parent) : QObject(parent)
{
    newdib(placeholder, 1, 1, 24, nullptr, 0);
}

RecoveryStore::~RecoveryStore()
{
    worker.reset();
    deldib(placeholder);
}

QString RecoveryStore::rootFolder()
{
    // Only an absolute XDG_STATE_HOME counts; a relative one is to be ignored.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state + QStringLiteral("/Kovrant/Tesselon/recovery"));
}

bool RecoveryStore::start(QString *error)
{
    if (isStarted())
        return true;
    const QString root = rootFolder();
    const QString id = QStringLiteral("%1-%2")
                           .arg(QCoreApplication::applicationPid())
                           .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    auto held = std::make_unique<QLockFile>(root + QLatin1Char('/') + id + QStringLiteral(".lock"));
    held->setStaleLockTime(0);
    const QString folder = root + QLatin1Char('/') + id;
    if (!QDir().mkpath(root) || !held->tryLock(0) || !QDir().mkpath(folder)) {
        if (error)
            *error = Translate(QStringLiteral("Der Ordner für Wiederherstellungskopien %1 ist nicht beschreibbar."))
                         .arg(QDir::toNativeSeparators(root));
        return false;
    }
    lock = std::move(held);
    copyFolder = folder;
    pictureNumber = 0;
    worker = std::make_unique<Worker>(copyFolder, this);
    return true;
}

void RecoveryStore::writePicture(SharedPicture picture)
{
    if (!worker || !picture)
        return;
    worker->picture(std::move(picture), ++pictureNumber);
}

bool RecoveryStore::writeDocument(const Document &doc, const ProjectSettings &settings, const QString &fileName)
{
    if (!worker || pictureNumber == 0 || !placeholder.poi)
        return false;
    ProjectSettings stored = settings;
    stored.extension.setChunk(RecoveryChunk,
                              encodeInfo({QDateTime::currentMSecsSinceEpoch(), pictureNumber, fileName}));
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    if (!writeProject(out, doc, placeholder, stored))
        return false;
    worker->document(std::move(bytes), pictureNumber);
    return true;
}

bool RecoveryStore::waitForWrites(int msecs)
{
    return !worker || worker->waitIdle(msecs);
}

void RecoveryStore::clear()
{
    if (!worker)
        return;
    worker->dropPending();
    worker.reset();
    QDir(copyFolder).removeRecursively();
    lock.reset();
    copyFolder.clear();
}

QList<RecoveryCopy> RecoveryStore::scan()
{
    const QDir root(rootFolder());
    QStringList ids = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &lockFile : root.entryList({QStringLiteral("*.lock")}, QDir::Files))
        ids.append(lockFile.chopped(5));
    ids.removeDuplicates();

    QList<RecoveryCopy> copies;
    for (const QString &id : std::as_const(ids)) {
        if (heldByRunningInstance(root.filePath(id + QStringLiteral(".lock"))))
            continue;
        RecoveryCopy copy;
        copy.folder = root.filePath(id);
        if (!QFileInfo(copy.folder).isDir())
            continue;
        if (!QFileInfo::exists(documentPath(copy.folder))) {
            QDir(copy.folder).removeRecursively();
            continue;
        }
        copy.time = QFileInfo(documentPath(copy.folder)).lastModified();
        Document doc;
        ProjectSettings settings;
        CopyInfo info;
        if (!readDocument(copy.folder, doc, settings, info, &copy.problem)) {
            copies.append(copy);
            continue;
        }
        copy.time = QDateTime::fromMSecsSinceEpoch(info.time);
        copy.elementCount = doc.count();
        copy.fileName = info.fileName;
        if (!QFileInfo::exists(picturePath(copy.folder, info.picture)))
            copy.problem = Translate(QStringLiteral("Das Bild der Wiederherstellungskopie %1 fehlt."))
                               .arg(QDir::toNativeSeparators(copy.folder));
        copies.append(copy);
    }
    std::sort(copies.begin(), copies.end(),
              [](const RecoveryCopy &a, const RecoveryCopy &b) { return a.time > b.time; });
    return copies;
}

bool RecoveryStore::restore(const RecoveryCopy &copy, Document &doc, dib &picture, ProjectSettings &settings,
                            QString &fileName, QString *error)
{
    // The document part is read twice: once to learn which picture it names, and once more into
    // doc only after the picture was read, so that a failure leaves doc alone.
    CopyInfo info;
    {
        Document probe;
        ProjectSettings unused;
        if (!readDocument(copy.folder, probe, unused, info, error))
            return false;
    }
    const QString pictureFile = picturePath(copy.folder, info.picture);
    if (!QFileInfo::exists(pictureFile)) {
        if (error)
            *error = Translate(QStringLiteral("Das Bild der Wiederherstellungskopie %1 fehlt."))
                         .arg(QDir::toNativeSeparators(copy.folder));
        return false;
    }
    dib read;
    {
        Document none;
        ProjectSettings unused;
        if (!loadProject(pictureFile, none, read, unused, error))
            return false;
    }
    ProjectSettings readSettings;
    CopyInfo again;
    if (!readDocument(copy.folder, doc, readSettings, again, error)) {
        deldib(read);
        return false;
    }
    replacePicture(picture, read);
    settings = std::move(readSettings);
    fileName = again.fileName;
    return true;
}

bool RecoveryStore::discard(const RecoveryCopy &copy)
{
    const QFileInfo folder(copy.folder);
    if (heldByRunningInstance(copy.folder + QStringLiteral(".lock")))
        return false;
    return !folder.exists() || QDir(copy.folder).removeRecursively();
}
