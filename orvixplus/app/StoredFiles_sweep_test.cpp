// OrvixPlus's own binary files, damaged every way the sweep knows, each read
// by the loader the program reads it with: OrvixPlusChannels.chl and imported
// channel files, histroy.his and OrvixPlusData.dat. No case may crash or hang;
// each either loads whole or fails the way the callers expect, and the
// other files of the program folder stay as they were.
#include <gtest/gtest.h>
#include <string.h>
#include <set>
#include "AppSettings.h"
#include "ChannelHistory.h"
#include "ChannelStore.h"
#include "FileSweep.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "TestSupport.h"

namespace {

std::string Bytes(const void* p, size_t n)
{
    return std::string((const char*)p, n);
}

int Int32At(const std::string& bytes, size_t at)
{
    int v = 0;
    if (at + 4 <= bytes.size())
        memcpy(&v, bytes.data() + at, 4);
    return v;
}

// The offsets of the given fields of every record after a header.
std::vector<size_t> RecordFields(const std::string& file, size_t header, size_t record,
                                 std::initializer_list<size_t> fields)
{
    std::vector<size_t> offsets;
    for (size_t at = header; at + record <= file.size(); at += record)
        for (size_t f : fields)
            offsets.push_back(at + f);
    return offsets;
}

// Every record's name filling its field, with no terminating zero.
std::string Unterminated(std::string file, size_t header, size_t record, size_t name, char fill)
{
    for (size_t at = header; at + record <= file.size(); at += record)
        memset(&file[at + name], fill, 32);
    return file;
}

bool Terminated(const char* text, size_t size)
{
    return memchr(text, '\0', size) != NULL;
}

// A program folder holding every stored file, the one under test among them.
class StoredFilesSweep : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = ts::FreshTempDir("filesweep");
        ChannelFileHeader header = {3, 2, 0, 0};
        std::string chl = Bytes(&header, sizeof(header));
        ts::WriteWholeFile(dir_ + "OrvixPlusChannels.chl", chl);
        ts::WriteWholeFile(dir_ + "histroy.his", std::string(4, '\0'));
        ts::WriteWholeFile(dir_ + "schedulefile.she", std::string(36, '\x05'));
        SettingsRecord rec;
        MakeDefaultSettingsRecord(&rec, "C:\\");
        ts::WriteWholeFile(dir_ + "OrvixPlusData.dat", Bytes(&rec, sizeof(rec)));
    }
    void Sweep(const ts::FileSweep& sweep, const std::string& scratch,
               const std::function<std::string(const ts::SweepCase&)>& fn)
    {
        std::string others = ts::FolderSnapshot(dir_);
        std::string path = dir_ + "sweep\\";
        CreateDirectoryA(path.c_str(), NULL);
        path += scratch;
        std::vector<std::string> failures;
        {
            // Most cases are read from memory, every 25th from the disk.
            ts::MemoryFiles memory;
            ts::CaseFile file(memory, path, 25);
            memory_ = &memory;
            failures = sweep.Run([&](const ts::SweepCase& c) {
                if (!file.Put(c))
                    return std::string("scratch file not written");
                return fn(c);
            });
            memory_ = NULL;
        }
        for (const std::string& f : failures)
            ADD_FAILURE() << f;
        EXPECT_EQ(others, ts::FolderSnapshot(dir_)) << "the program folder's files changed";
        sweep.Report(scratch.c_str());
        path_ = path;
    }
    std::string Scratch(const char* name) const { return dir_ + "sweep\\" + name; }
    std::string dir_;
    std::string path_;
    ts::MemoryFiles* memory_ = NULL;
};

// Eight antenna and four cable channels, numbers with gaps, one skipped.
std::string ValidChannelFile()
{
    ChannelFileHeader header = {5, 2, 8, 4};
    std::string bytes = Bytes(&header, sizeof(header));
    int air[8] = {1, 2, 3, 5, 8, 13, 21, 34}, cable[4] = {2, 4, 6, 200};
    for (int list = 1; list <= 2; list++) {
        for (int i = 0; i < (list == 1 ? 8 : 4); i++) {
            ChannelRecord rec;
            int number = list == 1 ? air[i] : cable[i];
            MakeChannelRecord(&rec, number, 49750000 + number * 8000000, 1);
            rec.nSkip = number == 8;
            bytes += Bytes(&rec, sizeof(rec));
        }
    }
    return bytes;
}

// Which loads must succeed: a whole header, counts that are not negative and
// records for all of them.
bool ChannelFileWhole(const std::string& bytes)
{
    if (bytes.size() < 16)
        return false;
    long long a = Int32At(bytes, 8), b = Int32At(bytes, 12);
    return a >= 0 && b >= 0 && 16 + 48 * (a + b) <= (long long)bytes.size();
}

std::string CheckLoadedStore(CChannelStore& store, const std::string& resave, bool bResave)
{
    for (int list = 1; list <= 2; list++) {
        int count = store.GetCount(list);
        if (count < 0)
            return "negative count";
        int lowest = store.GetMinChannel(list), highest = store.GetMaxChannel(list);
        if ((count == 0) != (lowest == -1))
            return "count and lowest channel disagree";
        // Stepping from anywhere ends, and lands on a stored channel.
        ChannelRecord rec;
        for (int from : {store.GetCurrent(list), lowest, highest, 0, -1, INT_MAX}) {
            if (store.NextChannel(from, list, &rec) && !store.Exists(rec.nNumber, list))
                return "stepped to a channel that is not stored";
            store.PrevChannel(from, list, &rec);
        }
        if (lowest != -1 && store.GetChannel(lowest, list, &rec) &&
            !Terminated(rec.szName, sizeof(rec.szName)))
            return "name without its terminating zero";
    }
    // What was loaded saves and loads again to the same lists (a save goes to
    // the disk: not for every case).
    if (!bResave)
        return "";
    if (!store.Save(resave.c_str()))
        return "the loaded store does not save";
    CChannelStore again;
    if (!again.Load(resave.c_str()))
        return "the saved store does not load";
    for (int list = 1; list <= 2; list++)
        if (again.GetCount(list) != store.GetCount(list) ||
            again.GetCurrent(list) != store.GetCurrent(list))
            return "the saved store loads differently";
    return "";
}

}  // namespace

TEST_F(StoredFilesSweep, ChannelFile)
{
    std::string valid = ValidChannelFile();
    std::vector<size_t> fields = RecordFields(valid, 16, 48, {0, 4, 40, 44});
    fields.insert(fields.end(), {0, 4, 8, 12});
    ts::FileSweep sweep(valid, 0xC41u);
    sweep.Truncations().Int32Fields(fields);
    // Names that fill their field with no terminating zero, lead bytes last.
    sweep.Add("names without terminator", Unterminated(valid, 16, 48, 8, '\xB0'));
    // Counts far past the records, and a count pair whose sum overflows 32 bits.
    ChannelFileHeader huge = {1, 1, 0x7FFFFFFF, 0x7FFFFFFF};
    sweep.Add("counts 0x7FFFFFFF", Bytes(&huge, 16) + valid.substr(16));
    ChannelFileHeader mixed = {1, 1, 0x7FFFFFFF, -0x7FFFFFFF};
    sweep.Add("counts summing to 0", Bytes(&mixed, 16) + valid.substr(16));
    sweep.RandomBytes(10000 - (int)sweep.Count());
    ASSERT_GE(sweep.Count(), 10000u);

    std::string resave = dir_ + "sweep\\resaved.chl";
    Sweep(sweep, "imported.chl", [&](const ts::SweepCase& c) -> std::string {
        // The store as it was before the import: one channel of its own.
        CChannelStore store;
        ChannelRecord* own = new ChannelRecord;
        MakeChannelRecord(own, 77, 100000000, 1);
        store.Add(1, own);
        store.SetCurrent(77, 1);
        BOOL loaded = store.Load(Scratch("imported.chl").c_str());
        if (!loaded != !ChannelFileWhole(c.bytes))
            return loaded ? "loaded a damaged file" : "refused a whole file";
        if (!loaded)
            return store.GetCount(1) == 1 && store.GetCount(2) == 0 && store.GetCurrent(1) == 77 &&
                           store.Exists(77, 1)
                       ? ""
                       : "a refused file changed the store";
        return CheckLoadedStore(store, resave, c.index % 25 == 0);
    });
}

TEST_F(StoredFilesSweep, HistoryFile)
{
    std::string valid;
    int count = 4;
    valid = Bytes(&count, 4);
    for (int i = 0; i < 4; i++) {
        HistoryRecord rec;
        rec.nPosition = i;
        rec.nList = i % 2 ? 2 : 1;
        rec.nInStore = 1;
        rec.nMenuId = 0x9000 + i;
        MakeChannelRecord(&rec.channel, 10 + i, 55250000 + i * 8000000, 1);
        valid += Bytes(&rec, sizeof(rec));
    }
    std::vector<size_t> fields = RecordFields(valid, 4, 64, {0, 4, 8, 12, 16, 20, 56, 60});
    fields.push_back(0);
    ts::FileSweep sweep(valid, 0x415u);
    sweep.Truncations().Int32Fields(fields);
    sweep.Add("names without terminator", Unterminated(valid, 4, 64, 24, 'x'));
    // More records than the list holds: the first four are kept.
    int six = 6;
    sweep.Add("six records", Bytes(&six, 4) + valid.substr(4) + valid.substr(4, 128));
    sweep.RandomBytes(10000 - (int)sweep.Count());
    ASSERT_GE(sweep.Count(), 10000u);

    Sweep(sweep, "histroy.his", [&](const ts::SweepCase& c) -> std::string {
        CChannelHistory history;
        HistoryRecord own = {};
        own.nList = 1;
        MakeChannelRecord(&own.channel, 99, 100000000, 1);
        history.AddEntry(&own, TRUE);
        int n = Int32At(c.bytes, 0);
        bool whole = c.bytes.size() < 4 || n <= 0 || (long long)c.bytes.size() >= 4 + 64LL * n;
        BOOL loaded = history.Load(Scratch("histroy.his").c_str());
        if (!loaded != !whole)
            return loaded ? "loaded a damaged file" : "refused a whole file";
        if (!loaded)
            return history.GetCount() == 0 ? "" : "a damaged file left entries behind";
        if (history.GetCount() < 0 || history.GetCount() > 4)
            return "count outside 0..4";
        std::set<HistoryRecord*> seen;
        for (int i = 0; i < history.GetCount(); i++) {
            HistoryRecord* rec = history.GetAt(i);
            if (rec == NULL || rec->nPosition != i || !seen.insert(rec).second)
                return "entries and positions disagree";
            if (!Terminated(rec->channel.szName, sizeof(rec->channel.szName)))
                return "name without its terminating zero";
        }
        if (history.GetAt(history.GetCount()) != NULL || history.GetAt(-1) != NULL)
            return "an entry outside the list";
        history.FindByMenuId(-1);
        return "";
    });
}

TEST_F(StoredFilesSweep, SettingsFile)
{
    SettingsRecord rec;
    MakeDefaultSettingsRecord(&rec, dir_.c_str());
    rec.nCountryCode = 49;
    rec.nVolume = 80;
    std::string valid = Bytes(&rec, sizeof(rec));
    std::vector<size_t> fields;
    for (size_t at = 0; at <= 96; at += 4)
        fields.push_back(at);
    ts::FileSweep sweep(valid, 0xDA7u);
    sweep.Truncations().Int32Fields(fields);
    // Every text field filled to its end, no terminating zero, GBK lead bytes.
    std::string full = valid;
    memset(&full[100], '\xC4', 684 - 100);
    sweep.Add("texts without terminator", full);
    sweep.Add("longer than a block", valid + std::string(5000, '\x7F'));
    sweep.RandomBytes(10000 - (int)sweep.Count());
    ASSERT_GE(sweep.Count(), 10000u);
    // The loader looks at both folders on the disk: milliseconds a case.
    sweep.Sample(4);

    char appFolder[MAX_PATH];
    ASSERT_TRUE(GetAppFolder(appFolder, sizeof(appFolder)));
    SettingsRecord def;
    MakeDefaultSettingsRecord(&def, appFolder);
    const std::string defaults = Bytes(&def, sizeof(def));
    Sweep(sweep, "OrvixPlusData.dat", [&](const ts::SweepCase& c) -> std::string {
        CAppSettings settings;
        std::string path = Scratch("OrvixPlusData.dat");
        // The start-up: load, or write the default file and load that (from
        // the disk, where the default file goes).
        BOOL loaded = LoadSettingsFile(&settings, path.c_str());
        if (loaded != (c.bytes.size() >= sizeof(SettingsRecord)))
            return loaded ? "a short file loaded" : "a whole file did not load";
        if (!loaded) {
            memory_->Remove(path);
            if (!LoadOrCreateSettingsFile(&settings, path.c_str()))
                return "start-up found no settings";
            if (ts::ReadWholeFile(path) != defaults)
                return "a short file was not replaced by the default file";
        }
        const CAppSettings& s = settings;
        if (s.m_nInputSource < 1 || s.m_nInputSource > 5 || s.m_nRecordFormat < 0 ||
            s.m_nRecordFormat > 8 || s.m_nRecordQuality < 1 || s.m_nRecordQuality > 3 ||
            s.m_nWallDwell < 1 || s.m_nWallDwell > 3 || s.m_nWallGrid < 1 || s.m_nWallGrid > 4 ||
            s.m_nVideoSize < 1 || s.m_nVideoSize > 3 || s.m_nWindowAspect < 0 ||
            s.m_nWindowAspect > 2)
            return "a setting the program indexes by is out of its range";
        if (!Terminated(s.m_szRecordFolder, sizeof(s.m_szRecordFolder)) ||
            !Terminated(s.m_szPictureFolder, sizeof(s.m_szPictureFolder)) ||
            !Terminated(s.m_szAudioLine, sizeof(s.m_szAudioLine)) ||
            !Terminated(s.m_szVideoDevice, sizeof(s.m_szVideoDevice)))
            return "text without its terminating zero";
        if (c.index % 25 == 0 && (!FolderExists(s.m_szRecordFolder) || !FolderExists(s.m_szPictureFolder)))
            return "a folder that does not exist was kept";
        return "";
    });
}
