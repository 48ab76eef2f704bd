#pragma once

#include <QIODevice>

#include <atomic>

// How far a file transfer running off the user-interface thread has come (total 0: not known),
// and whether the user asked it to stop. Shared between the transfer and the window watching it.
struct TransferProgress {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> cancelled{false};
};

// Passes reads and writes through to another open device in slices, counting the bytes in a
// TransferProgress and failing the next slice once the transfer was cancelled. Random access
// stays as the inner device has it, so readers that check sizes against what remains still can.
class ProgressDevice : public QIODevice
{
public:
    ProgressDevice(QIODevice &inner, TransferProgress &progress);

    bool isSequential() const override;
    qint64 size() const override;
    bool seek(qint64 pos) override;
    bool atEnd() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    QIODevice &inner;
    TransferProgress &progress;
};
