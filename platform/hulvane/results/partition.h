#pragma once

// A results partition: one file of named channels (analog values, digital states, complex values
// or aliases of other channels) recorded over one or more runs, each run a stream of time markers
// and samples. The simulator writes partitions; the tape generator and the schematic's results
// reader read them back through channel iterators. The byte layout is in partitionformat.h.
//
// A partition opened for writing (create or update) writes a temporary file beside its file and
// puts it in the file's place only at close or at a snapshot's header rewrite, so a run that stops
// half-way leaves the old file whole. A live partition (the interactive run's) is written in its
// file's place instead, so that the host reads it while it grows: every header rewrite makes it
// complete as it stands. Reading checks every count, offset and length against the
// file: a damaged file is refused with a report (report.h), never read past its bounds.

#include "core/containers/didx.h"
#include "core/containers/dpa.h"
#include "core/files/diskfile.h"
#include "platform/hulvane/results/channeliterator.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One complex sample as stored: real part, then imaginary part.
struct PARTITIONCOMPLEX {
    double real;
    double imag;
};

// The first value of a channel, as getinitialvalue gives it.
struct CHANNELVALUE {
    int32_t kind;    // 0 analog (value), 1 one state word (state), 2 wider digital (state is a mask)
    double value;
    uint32_t state;
};

class PARTITION {
public:
    static constexpr int32_t MODE_CLOSED = 0;
    static constexpr int32_t MODE_CREATE = 1;
    static constexpr int32_t MODE_READ = 2;        // the header is not read
    static constexpr int32_t MODE_UPDATE = 3;      // every writer opens so
    static constexpr int32_t MODE_READHEADER = 4;

    static constexpr int32_t KIND_NONE = 0;
    static constexpr int32_t KIND_ANALOG = 1;
    static constexpr int32_t KIND_DIGITAL = 2;
    static constexpr int32_t KIND_COMPLEX = 3;
    static constexpr int32_t KIND_ALIAS = 4;  // the label names the target channel

    static constexpr int32_t PATHSIZE = 517;

    struct CHANNEL {
        // Name and label hold what a counted string of the file holds: 255 characters.
        char name[256] = {};
        char label[256] = {};
        int32_t kind = KIND_NONE;
        int32_t width = 0;       // bytes per sample: analog 8, digital 4 per state word, complex 16
        int32_t holdcount = -1;  // analog samples held back; -1: nothing written since the reset
        double writtentime = 0;  // the last analog sample written to the file
        double pendingtime = 0;  // the newest analog sample given, written or not
        double tolerance = 0;    // relative tolerance of the analog compression; 0: none
        double writtenvalue = 0;
        double pendingvalue = 0;
    };

    struct RUN {
        int32_t offset = 0;   // of the run's first byte; 0 when there is no such run
        int32_t length = 0;   // bytes of a data run; records of a record run
        int32_t markers = 0;  // time markers of a data run; bytes of a record run
        std::shared_ptr<unsigned char[]> cache;  // the whole run, read once, shared by its iterators
    };

    // A closed partition called name on the file path; a null path names the results file of the
    // name (resultsname.h), none when the name is refused, so that the partition never opens.
    // Name and path are cut to 516 characters.
    explicit PARTITION(const char* partitionname, const char* filepath = nullptr);
    PARTITION(const PARTITION&) = delete;
    PARTITION& operator=(const PARTITION&) = delete;
    // Closes with status 0 and frees channels and iterators, also of a partition never opened.
    virtual ~PARTITION();

    // The recording operations are virtual so that a derived partition can take the samples
    // itself; flushanalog writes held samples through writeanalog.
    // Sets kind, width (unit x words, words cut to 0..32) and tolerance; restarts the hold-back.
    // Nothing when index is out of range.
    virtual void setchannel(int index, int kind, int words, double tolerance);
    // Records an analog sample, holding samples back while a straight line predicts them within
    // the tolerance (force 1 writes at once). A channel of another kind is a caller error.
    virtual void writeanalog(double time, int index, double value, int force);
    // Records a digital sample of `words` state words (at most 32; once the channel has a width,
    // every sample is written at that width). A channel of another kind is a caller error.
    virtual void writedigital(double time, int32_t index, const void* data, int32_t words);
    // Records a complex sample. A channel of another kind is a caller error.
    virtual void writecomplex(double frequency, int index, PARTITIONCOMPLEX value);

    // Opens in a mode: 1 on success; 0 when the file cannot be opened, is not a partition or is
    // damaged (the reason reported), the partition then closed. An open partition is closed first.
    // Writing makes the file's missing folders.
    int open(int newmode);
    // Finishes the file (header and channel table in the writing modes) and closes it; nothing
    // when closed. A file that could not be written whole is reported and the old file kept. 1 when
    // a file this partition wrote is now in its place, else 0.
    int close(int status);

    // The channel called name (aliases followed), else a new empty channel; -1 when the file
    // has no room for another channel (32767).
    int addchannel(const char* channelname, const char* channellabel);
    // The number of the channel called name, aliases followed; -1 when absent or the alias chain
    // leads nowhere or round in a circle. Case of ASCII letters is ignored.
    int findchannel(const char* channelname) const;

    void writetime(double time);
    // Writes the held-back analog samples that lie before time, when time is past the last marker.
    void flushanalog(double time);
    void beginrun();
    // Ends the run begun last; nothing when it has ended already (an interactive snapshot ends
    // the run its analysis began).
    void endrun();

    void beginrecord(const char* recordname);
    // Formats into 1024 bytes (cut to 1023 characters) and appends the text to the record.
    void recordprintf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void endrecord();
    // Ends a run of records as endrun ends a run of data.
    void endrecords();
    // Adds each record of run 1 as a block "name\0text\0" to index, allocated so that DPA's destroy
    // frees it (a block the index does not keep is freed here). 1 when run 1 exists, else 0; a
    // damaged record ends the reading.
    int loadrecords(DIDX& index);

    // A reader over channel name (aliases followed) in a finished run, owned by the partition;
    // null when the channel is absent, of no sample kind, has no sample in the run, or the run is
    // absent or cannot be read.
    CHANNEL_ITERATOR* getiterator(const char* channelname, int runnumber);
    // The value of a channel at time 0 of run 0: 1 with the value stored, 0 when the channel, the
    // run or a time-domain value is missing.
    int getinitialvalue(const char* channelname, CHANNELVALUE* result);
    // What a graph shows for the channel called name (aliases followed): its label, else its name;
    // null when there is no such channel.
    const char* getlabel(const char* channelname) const;
    // The number of finished runs, also stored in *runs when given.
    int getmaxruns(int* runs) const;
    // Appends every channel (CHANNEL*) to list and stores the number of finished runs.
    void getchannels(DPA& list, int* runs) const;
    // Back to an empty file after the header: no channels, runs, iterators or preserved block.
    void reset();
    // Writes the channel table (writing modes) and the header at the end of the data, then puts a
    // copy of the file in place, so that the file is complete at once (the interactive snapshot).
    // The write position stays at the end of the data.
    void writeheader(int status);

    // Makes the file complete as it stands while a run is being written: the held-back samples are
    // written, and the header and channel table count the run as one that ends here; the run goes
    // on (what follows replaces the end written). Nothing when not writing or no run was begun.
    void publishrun();
    // Goes back to run 0, to write the file again from there (the interactive snapshot): no run
    // is finished, the first begins where run 0 began (here when there was none), with no markers
    // and every channel's hold-back restarted.
    void rewind();

    // The run being written (runs[runcount]), added when missing.
    RUN& currentrun();
    // 1 when run is a finished run with data, else 0.
    int hasrun(int runnumber) const;

    char name[PATHSIZE];
    char path[PATHSIZE];  // Windows form; converted at the file boundary
    int32_t mode = MODE_CLOSED;
    DISKFILE file { nullptr };  // over the open stream; its fp is null while closed
    std::unique_ptr<unsigned char[]> preserved;  // the block between header and first run (writers)
    int32_t preservedsize = 0;
    GDPA<CHANNEL> channels { 50 };  // a channel's index is its number in the file
    std::vector<RUN> runs;          // grows past the header's 100 runs
    int32_t runcount = 0;           // finished runs; the index of the run being written
    double lasttime = 0;            // the newest time marker of the current run
    int32_t recordstart = 0;
    int32_t recordhastext = 0;
    GDPA<CHANNEL_ITERATOR> iterators { 100 };
    std::string streampath;  // POSIX path of the open stream (the temporary while writing)
    // Bytes of data written since the open or the last reset (a snapshot rewrites the file).
    int64_t appended = 0;
    // As the header of a file opened with its header (mode 4) gives them; 0 otherwise.
    int32_t status = 0;
    int32_t tableoffset = 0;
    // Written in the file's place (set before the open); see above.
    int32_t live = 0;

private:
    bool writing() const { return mode == MODE_CREATE || mode == MODE_UPDATE; }
    bool openforwriting(int newmode);
    bool openforreading(int newmode);
    bool readheader();
    bool readchanneltable(int32_t count, long size);
    bool readextension(long size);
    // The preserved block of an existing partition file; its size, 0 when there is none.
    int32_t readpreserved(const std::string& existing, std::unique_ptr<unsigned char[]>& block);
    void writechanneltable();
    void writeheaderbytes(int status);
    void clearcontents();
    // Stops recording because the file reached the 2 GB its offsets address: reported once, the
    // unfinished run dropped.
    void markfull();
    // Appends bytes to the data; dropped when not writing or full.
    void put(const void* bytes, int n);
    // Puts a time marker for time at `at` when one is due; the bytes used (0 or 10).
    int encodetime(unsigned char* at, double time);
    void putanalog(int index, double time, double value);
    // Reads n bytes at offset; a writer's position is kept. False when the file ends first.
    bool readat(int64_t offset, void* buffer, int32_t n);

    std::string target;  // the file that the temporary replaces
    int32_t full = 0;
    int32_t runbegun = 0;  // a run was begun and has not ended
    long dataend = 0;  // where the last finished run (or the preserved block) ends
};

// A partition index (GDIDX<PARTITION>) is keyed by the partition's name.
template <>
struct GDIDXKEY<PARTITION> {
    static char* key(const PARTITION* item) { return const_cast<char*>(item->name); }
};
