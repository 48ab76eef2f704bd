#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

class QIODevice;

// A growable array of fixed-size records in one zero-filled block, with a cursor that also
// publishes the current record's address into a pointer variable of the owner.
// Walks run First() then WhileNext(); inside the body aobjnr holds the 1-based position.
class TDynaArray
{
public:
    TDynaArray(std::uint32_t thesize, void **typpoi);
    ~TDynaArray();
    TDynaArray(const TDynaArray &) = delete;
    TDynaArray &operator=(const TDynaArray &) = delete;

    void *GetObject(std::uint32_t Index);
    void *items(std::uint32_t Index) { return GetObject(Index); }
    // Returns nullptr when the block could not be grown; the array is then unchanged.
    void *Add();
    void *Insert(std::int32_t nr);
    void Delete(std::int32_t nr);
    void Change(std::int32_t nr1, std::int32_t nr2);
    void Clear();
    void First();
    bool Next();
    bool WhileNext();
    // Exchanges the records, the cursor and the growth step with another array of the same record
    // size; each array keeps its owner variable and publishes its new current record. Lets a
    // reader build a complete new list and replace the old one only once everything was read.
    void swap(TDynaArray &other);

    // Read-only views of the fields, for callers and tests.
    void *current() const { return aobj; }
    void *block() const { return poi; }
    std::uint32_t Count() const { return count; }
    std::int32_t cursor() const { return aobjnr; }
    std::size_t memSize() const { return amemsize; }
    std::uint32_t recordSize() const { return size; }

    // Growth step in records; the owner may set it before adding records.
    std::uint32_t buffersize = 100;

private:
    void publish();
    std::size_t blockBytes(std::uint32_t records) const;
    bool AllocMoreMem(bool &replaced);
    bool AllocLessMem();

    void **outeraobj = nullptr;
    void *aobj = nullptr;
    void *poi = nullptr;
    std::uint32_t count = 0;
    std::int32_t aobjnr = -1;
    std::size_t amemsize = 0;
    std::uint32_t size = 0;
};

// Called with the text of a failed memory request ("Error 1 while trying to allocate ...").
// The user interface installs a handler that shows it; without one the text goes to stderr.
using AllocationFailureHandler = std::function<void(const QString &message)>;
void setAllocationFailureHandler(AllocationFailureHandler handler);
void reportAllocationFailure(const QString &message);

// String record: signed 32-bit little-endian count of UTF-16 code units, then the code units.
// Both return false on a write or read error; readfilestring also on a negative count or a
// count larger than the bytes left in the device (a damaged file), leaving S empty.
bool writefilestring(QIODevice &F, const QString &S);
bool readfilestring(QIODevice &F, QString &S);
