#include "configuration.h"

#include "mltlang1.h"

namespace mltlang {

namespace {

constexpr std::int32_t kConfigurationVersion = 100;

std::unique_ptr<TLngLst> defaultLanguages() {
    auto list = std::make_unique<TLngLst>();
    TLngLst::FillDefault(*list);
    return list;
}

}  // namespace

TConfiguration::TConfiguration(const std::string& exeDir)
    : Languages(defaultLanguages()), DefaultDictionary(exeDir + "default.dct") {}

TConfiguration::TConfiguration(const std::string& exeDir, const std::string& fileName)
    : TConfiguration(exeDir) {
    LoadFromFile(fileName);
}

void TConfiguration::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, TFileStream::fmOpenRead);
    LoadFromStream(stream);
}

void TConfiguration::LoadFromStream(TStream& stream) {
    auto languages = std::make_unique<TLngLst>();
    try {
        if (stream.ReadInt32() != kConfigurationVersion) {
            throw EMLangInvalid("Different version for configuration file !");
        }
        languages->ReadData(stream);
        DefaultMaxLang = stream.ReadInt32();
        Reserved = stream.ReadInt32();
        DefaultDictionary = ReadCountedString(stream);
    } catch (const std::exception&) {
        languages = defaultLanguages();
    }
    Languages = std::move(languages);
}

void TConfiguration::SaveToFile(const std::string& fileName) const {
    TFileStream stream(fileName, TFileStream::fmCreate);
    SaveToStream(stream);
    stream.Flush();
}

void TConfiguration::SaveToStream(TStream& stream) const {
    stream.WriteInt32(kConfigurationVersion);
    Languages->WriteData(stream);
    stream.WriteInt32(DefaultMaxLang);
    stream.WriteInt32(Reserved);
    WriteCountedString(stream, DefaultDictionary);
}

}  // namespace mltlang
