// Seeds of the companion mailbox: each way a companion hands the program an image or a command, with files the
// program's own writers made and the messages as the companions send them.
#include "CompanionMailboxInput.h"
#include "FuzzSeeds.h"
#include "FuzzSupport.h"
#include "SampleImages.h"

#include "qvcodec/CQvImageCodec.h"
#include "qvimage/QvImageDib.h"

#include <cstring>
#include <fstream>
#include <iterator>

using namespace mailbox_input;

namespace {

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> Prefixed(uint8_t first, const std::vector<uint8_t>& rest)
{
    std::vector<uint8_t> bytes{first};
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

std::vector<uint8_t> Saved(const CQvImage& image, const char* name)
{
    CQvImageCodec codec;
    codec.Install("");
    const std::string path = FuzzScratchFolder() + "/mailbox-seed-" + name;
    if (codec.Save(path.c_str(), &image, nullptr) != 1)
        return {};
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> PackedDib(const CQvImage& image)
{
    BITMAPINFOHEADER* dib = nullptr;
    if (!QVIMG2DIB(&image, &dib))
        return {};
    const auto* bytes = reinterpret_cast<const uint8_t*>(dib);
    std::vector<uint8_t> packed(bytes, bytes + QVDibSize(dib));
    QVFreeDIB(dib);
    return packed;
}

}  // namespace

VISTREL_FUZZ_SEEDS(companion_mailbox)
{
    EnsureFuzzApplication();
    const std::vector<CQvImage> images = SampleImages();
    const CQvImage& grey = images.front();
    const CQvImage& colour = images[4];
    const std::vector<uint8_t> png = Saved(colour, "a.png");
    const std::vector<uint8_t> bmp = Saved(grey, "a.bmp");

    FuzzSeedList seeds;
    {  // a copied path, twice, and a copied DIB
        std::vector<uint8_t> input;
        Record(input, kFile, Prefixed(2, png));
        Record(input, kCopy, Prefixed(1, Bytes(std::string("a.png") + '\0')));
        Record(input, kCopy, Prefixed(2, Bytes(std::string("a.png") + '\0')));
        Record(input, kCopy, Prefixed(0, PackedDib(colour)));
        Record(input, kCopy, Prefixed(3, {}));
        seeds.push_back(input);
    }
    {  // the image database's list of paths: a picture, a bitmap, a document that is not there, a FIFO
        std::vector<uint8_t> input;
        Record(input, kFile, Prefixed(2, png));
        Record(input, kFile, Prefixed(1, bmp));
        Record(input, kMessage, Message(4, 0, 0, "a.png;a.bmp;a.qrx;fifo.png;"));
        seeds.push_back(input);
    }
    {  // the calibrated open: units per pixel and the path in their mappings, then the command
        std::vector<uint8_t> input;
        std::vector<uint8_t> units(8);
        const double unitsPerPixel = 0.25;
        std::memcpy(units.data(), &unitsPerPixel, sizeof unitsPerPixel);
        Record(input, kFile, Prefixed(2, png));
        Record(input, kMapping, Prefixed(0, units));
        Record(input, kMapping, Prefixed(1, Bytes(std::string("a.png") + '\0')));
        Record(input, kMessage, Message(0, 0, 1));
        seeds.push_back(input);
    }
    {  // a bitmap handed over through the exchange folder, and the other messages
        std::vector<uint8_t> input;
        Record(input, kFile, Prefixed(0, bmp));
        Record(input, kMessage, Message(1, 0, 0));
        for (uint8_t name = 2; name < std::size(kMessageNames); ++name)
            if (name != 4)
                Record(input, kMessage, Message(name, 0, 0));
        Record(input, kMessage, Message(0, 2, 3));
        Record(input, kMessage, Message(0, 1, 0));
        seeds.push_back(input);
    }
    return seeds;
}
