// Seeds of the image readers: image records, packed DIBs, undo files and image files, written by the image
// library and the codec.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"
#include "SampleImages.h"

#include "qvcodec/CQvImageCodec.h"
#include "qvimage/QvImageRecord.h"

#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> ImageRecord(const CQvImage& image)
{
    FuzzOutput out;
    QVWriteImage(out.file(), &image);
    return out.Contents();
}

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

VISTREL_FUZZ_SEEDS(image_record)
{
    FuzzSeedList seeds;
    for (const CQvImage& image : SampleImages())
        seeds.push_back(ImageRecord(image));
    return seeds;
}

VISTREL_FUZZ_SEEDS(undo_file)
{
    FuzzSeedList seeds;
    for (const uint8_t whole : {0, 1}) {
        for (const CQvImage& image : SampleImages()) {
            std::vector<uint8_t> seed{whole};
            const std::vector<uint8_t> record = ImageRecord(image);
            seed.insert(seed.end(), record.begin(), record.end());
            seeds.push_back(seed);
        }
    }
    return seeds;
}

VISTREL_FUZZ_SEEDS(dib)
{
    return SampleImageDibs();
}

VISTREL_FUZZ_SEEDS(codec)
{
    EnsureFuzzApplication();
    CQvImageCodec codec;
    codec.Install("");
    FuzzSeedList seeds;
    int n = 0;
    for (const CQvImage& image : SampleImages()) {
        for (const char* extension : {"bmp", "png", "jpg", "tif"}) {
            const std::string path = FuzzScratchFolder() + "/seed" + std::to_string(n++) + "." + extension;
            if (codec.Save(path.c_str(), &image, nullptr) == 1)
                seeds.push_back(ReadWholeFile(path));
        }
    }
    return seeds;
}
