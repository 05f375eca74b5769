// Archives mutated at random from valid fixtures must end in a result or an
// exception: no crash, no hang, nothing written outside the target folder
// and no zlib state left behind. The seed is fixed, so a failure repeats.
#include "tests/ziparchive/zip_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class Rng {
public:
    explicit Rng(unsigned long long seed) : m_state(seed) {}
    unsigned long long next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return m_state;
    }
    size_t below(size_t n) { return n ? static_cast<size_t>(next() % n) : 0; }

private:
    unsigned long long m_state;
};

struct Seed {
    CString fixtureName;
    std::string bytes;
    std::vector<size_t> records;  // positions of "PK" signatures
};

Seed loadSeed(const CString& name) {
    Seed s{name, readBytes(fixture(name)), {}};
    for (size_t p = s.bytes.find("PK"); p != std::string::npos; p = s.bytes.find("PK", p + 1)) s.records.push_back(p);
    return s;
}

void mutate(std::string& bytes, const Seed& seed, Rng& rng) {
    static const unsigned long interesting[] = {0, 1, 0x7F, 0x80, 0xFF, 0x7FFF, 0x8000, 0xFFFF,
                                                0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    size_t count = 1 + rng.below(4);
    for (size_t i = 0; i < count && !bytes.empty(); ++i) {
        size_t at = rng.below(bytes.size());
        switch (rng.below(6)) {
        case 0: bytes[at] = static_cast<char>(bytes[at] ^ (1 << rng.below(8))); break;
        case 1: bytes[at] = static_cast<char>(rng.next()); break;
        case 2:
        case 3: {
            // A field of a record header: sizes, counts, offsets, lengths.
            if (!seed.records.empty()) at = seed.records[rng.below(seed.records.size())] + rng.below(46);
            unsigned long value = interesting[rng.below(sizeof(interesting) / sizeof(interesting[0]))];
            if (at + 4 <= bytes.size()) {
                if (rng.below(2)) putWord(bytes, at, value & 0xFFFF);
                else putDword(bytes, at, value);
            }
            break;
        }
        case 4: bytes.resize(rng.below(bytes.size())); break;
        default: bytes.insert(at, std::string(1 + rng.below(64), static_cast<char>(rng.next()))); break;
        }
    }
}

bool onlyExpectedFilesIn(const CString& root) {
    CFileFind find;
    BOOL more = find.FindFile(root + L"*");
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots()) continue;
        CString name = find.GetFileName();
        if (name != L"out" && name != L"f.zip" && name != L"pkg.000" && name != L"pkg.001" && name != L"pkg.zip") {
            return false;
        }
    }
    return true;
}

}  // namespace

TEST(ZipFuzz, MutatedArchivesEndInAResultOrAnException) {
    const int kArchives = 3000;
    std::vector<Seed> seeds;
    for (const wchar_t* name : {L"small.zip", L"stub.zip", L"names.zip", L"tail16k.zip", L"zerodate.zip",
                                L"descriptor.zip", L"split\\pkg.zip"}) {
        seeds.push_back(loadSeed(name));
        ASSERT_FALSE(seeds.back().bytes.empty()) << CW2A(name);
    }
    TempDir root;
    copyFixture(L"split\\pkg.000", root.path());
    copyFixture(L"split\\pkg.001", root.path());
    CString out = root / L"out";

    Rng rng(0x4B657374726E65ULL);
    int finished = 0, zipErrors = 0, fileErrors = 0;
    DWORD slowest = 0;
    int slowestIndex = -1;
    for (int i = 0; i < kArchives; ++i) {
        const Seed& seed = seeds[rng.below(seeds.size())];
        std::string bytes = seed.bytes;
        mutate(bytes, seed, rng);
        bool split = seed.fixtureName.Find(L"split") == 0;
        CString path = root / (split ? L"pkg.zip" : L"f.zip");
        ASSERT_TRUE(writeBytes(path, bytes));

        DWORD start = GetTickCount();
        CZipArchive zip;
        int result = outcome([&] {
            zip.Open(path.GetString());
            for (int e = 0; e < zip.GetCount(); ++e) zip.ExtractFile(static_cast<WORD>(e), out.GetString());
        });
        zip.Close(true);
        DWORD took = GetTickCount() - start;
        if (took > slowest) {
            slowest = took;
            slowestIndex = i;
        }

        if (result == kOk) ++finished;
        else if (result == kFileError) ++fileErrors;
        else ++zipErrors;
        ASSERT_EQ(0u, zip.GetZlibBlockCount()) << "archive " << i;
        ASSERT_TRUE(onlyExpectedFilesIn(root.path())) << "archive " << i;
        removeTree(out);
    }
    // The mutations reach both outcomes.
    EXPECT_GT(finished, kArchives / 20);
    EXPECT_GT(zipErrors, kArchives / 20);
    printf("[fuzz] %d archives: %d finished, %d zip errors, %d file errors; slowest #%d %lu ms\n", kArchives,
           finished, zipErrors, fileErrors, slowestIndex, slowest);
}
