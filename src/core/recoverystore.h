#pragma once

#include "core/dib.h"
#include "core/elements.h"
#include "core/projectfile.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QLockFile;

// A picture shared between its owner and the recovery writer. Nobody changes it while it is
// shared: a changed picture is a new one.
using SharedPicture = std::shared_ptr<const dib>;
// Moves image into a shared picture that releases it with deldib; image is left empty.
SharedPicture sharePicture(dib &image);

// A recovery copy left by an instance that did not end normally.
struct RecoveryCopy {
    QString folder;
    QDateTime time;        // when its document part was written
    int elementCount = -1; // -1 when the copy cannot be read
    QString fileName;      // the project file the work belonged to; empty for new work
    QString problem;       // why it cannot be restored, for the user; empty when it can
};

// The on-disk side of crash recovery. Each running instance keeps one copy of its work in a
// folder of its own under rootFolder(), guarded by a lock file beside it
// (<root>/<id>.lock, <root>/<id>/). A copy has two parts, both project files: the picture part
// (picture-<n>.ver: no elements, the picture), written once per picture, and the document part
// (document.ver: the elements, settings and extension chunks over a 1 x 1 placeholder picture,
// with an RCVR chunk naming the picture part, the project's file name and the time). Every
// file is written with QSaveFile in a worker thread; the calling thread only hands the picture
// over and turns the document into bytes. The document part names a picture part that is
// written before it, and a picture part is removed only once no document part on disk names it,
// so the copy on disk is whole at every moment.
class RecoveryStore : public QObject
{
    Q_OBJECT
public:
    explicit RecoveryStore(QObject *parent = nullptr);
    // Finishes the writes handed over and keeps the copy (only clear() removes it).
    ~RecoveryStore() override;

    // $XDG_STATE_HOME/Kovrant/Tesselon/recovery, XDG_STATE_HOME defaulting to ~/.local/state.
    static QString rootFolder();

    // Takes the lock and creates this instance's folder; false with a German text otherwise.
    bool start(QString *error = nullptr);
    bool isStarted() const { return lock != nullptr; }
    // This instance's folder; empty before start().
    QString folder() const { return copyFolder; }

    // Hands a new picture to the worker, which writes it as the next picture part. Later
    // documents refer to it.
    void writePicture(SharedPicture picture);
    // Turns the work into the document part's bytes here and hands them to the worker; a newer
    // document replaces one not yet written. False when the store is not started or no picture
    // was handed over yet.
    bool writeDocument(const Document &doc, const ProjectSettings &settings, const QString &fileName);
    // Waits until everything handed over is on disk or msecs have passed (negative: no limit);
    // true when the worker is idle.
    bool waitForWrites(int msecs = -1);
    // Ends the copy on a normal close: waits for a write in progress, drops what is pending,
    // removes the folder and the lock. The store may be started again.
    void clear();

    // The copies whose instance no longer runs, newest first. Stale locks are removed; a copy
    // without a document part holds no work and is removed too. A copy that cannot be read is
    // listed with its problem and left in place.
    static QList<RecoveryCopy> scan();
    // Reads a copy: doc, picture and settings are replaced only when the whole copy was read,
    // like opening a project; fileName receives the project's file name. False with a German
    // text for the user otherwise; the copy stays in place either way.
    static bool restore(const RecoveryCopy &copy, Document &doc, dib &picture, ProjectSettings &settings,
                        QString &fileName, QString *error = nullptr);
    // Removes a copy; false when its instance still runs or it could not be removed.
    static bool discard(const RecoveryCopy &copy);

signals:
    // A part could not be written; the message is German, for the user.
    void writeFailed(const QString &message);

private:
    class Worker;

    void stopWorker(bool finishPending);

    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<Worker> worker;
    QString copyFolder;
    dib placeholder;
    qint64 pictureNumber = 0;
};
