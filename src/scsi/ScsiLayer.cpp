#include "scsi/ScsiLayer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "scsi/ImageTransport.h"
#include "scsi/SgTransport.h"

namespace quorvane {

namespace {

// Node names of one kind ("sr", "sg") under /dev, in number order.
std::vector<std::string> NodesOfKind(const std::string& kind) {
    std::vector<std::pair<unsigned long, std::string>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= kind.size() || name.compare(0, kind.size(), kind) != 0)
            continue;
        const std::string number = name.substr(kind.size());
        if (!std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        found.emplace_back(std::stoul(number), entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> nodes;
    nodes.reserve(found.size());
    for (auto& item : found)
        nodes.push_back(std::move(item.second));
    return nodes;
}

// The CD node (e.g. "sr0") the kernel gives the drive behind a generic node, or empty.
std::string CdNodeOfGeneric(const std::string& node) {
    const std::string name = std::filesystem::path(node).filename().string();
    std::error_code error;
    const std::filesystem::path block = "/sys/class/scsi_generic/" + name + "/device/block";
    for (const auto& entry : std::filesystem::directory_iterator(block, error))
        return entry.path().filename().string();
    return {};
}

} // namespace

std::vector<std::string> DefaultScsiNodes() {
    std::vector<std::string> nodes = NodesOfKind("sr");
    for (std::string& node : NodesOfKind("sg"))
        nodes.push_back(std::move(node));
    return nodes;
}

ScsiLayer::ScsiLayer() : ScsiBuffer(kScsiBufferSize) {}

void ScsiLayer::ScanScsiBus() {
    ScanScsiBus(DefaultScsiNodes());
}

void ScsiLayer::ScanScsiBus(const std::vector<std::string>& nodes) {
    ScsiDevices.clear();
    SelectedScsiDevice = 0;
    std::vector<std::string> listed;
    for (const std::string& node : nodes) {
        if (ScsiDevices.size() >= kMaxBusDrives)
            break;
        const std::string cdNode = CdNodeOfGeneric(node);
        if (!cdNode.empty() && std::find(listed.begin(), listed.end(), cdNode) != listed.end())
            continue;
        auto transport = std::make_unique<SgTransport>();
        if (!transport->Open(node))
            continue;
        if (AddDrive(std::move(transport)) >= 0)
            listed.push_back(std::filesystem::path(node).filename().string());
    }
}

int ScsiLayer::AddDrive(std::unique_ptr<ScsiTransport> transport) {
    std::fill(ScsiBuffer.begin(), ScsiBuffer.end(), 0);
    const ScsiCommand inquiry = InquiryCommand();
    if (transport->Execute(inquiry, ScsiBuffer.data()) != kScsiCompleted ||
        (ScsiBuffer[0] & 0x1F) != kDeviceTypeCdRom)
        return -1;
    ScsiDrive drive;
    drive.name.assign(reinterpret_cast<const char*>(ScsiBuffer.data() + 8), 24);
    for (char& c : drive.name)
        if (c == '\0')
            c = ' ';
    drive.transport = std::move(transport);
    ScsiDevices.push_back(std::move(drive));
    return static_cast<int>(ScsiDevices.size() - 1);
}

int ScsiLayer::OpenImage(const std::string& path, std::string* error) {
    auto image = std::make_unique<ImageTransport>();
    if (!image->Open(path)) {
        if (error != nullptr)
            *error = image->Error();
        return -1;
    }
    const int index = AddDrive(std::move(image));
    if (index < 0 && error != nullptr)
        *error = "the image does not answer as a CD-ROM";
    return index;
}

int ScsiLayer::OpenDrive(const std::string& path, std::string* error) {
    std::error_code ignored;
    const auto type = std::filesystem::status(path, ignored).type();
    if (type != std::filesystem::file_type::block && type != std::filesystem::file_type::character)
        return OpenImage(path, error);
    auto drive = std::make_unique<SgTransport>();
    if (!drive->Open(path)) {
        if (error != nullptr)
            *error = std::strerror(errno);
        return -1;
    }
    const int index = AddDrive(std::move(drive));
    if (index < 0 && error != nullptr)
        *error = "not a CD-ROM drive";
    return index;
}

uint8_t ScsiLayer::Send(const ScsiCommand& command) {
    if (SelectedScsiDevice >= ScsiDevices.size())
        return kScsiError;
    return ScsiDevices[SelectedScsiDevice].transport->Execute(command, ScsiBuffer.data());
}

bool ScsiLayer::TestUnitReady() {
    return Send(TestUnitReadyCommand()) == kScsiCompleted;
}

void ScsiLayer::ReadCapacity() {
    std::fill(ScsiBuffer.begin(), ScsiBuffer.begin() + 64, 0);
    DiskLastSector = 0;
    if (Send(ReadCapacityCommand()) == kScsiCompleted)
        DiskLastSector = static_cast<uint32_t>(ScsiBuffer[0]) << 24 |
                         static_cast<uint32_t>(ScsiBuffer[1]) << 16 |
                         static_cast<uint32_t>(ScsiBuffer[2]) << 8 | ScsiBuffer[3];
}

uint8_t ScsiLayer::ReadSectors(uint32_t first, uint32_t byteCount) {
    std::fill(ScsiBuffer.begin(), ScsiBuffer.end(), 0);
    if (byteCount == 0 || byteCount % kSectorSize != 0 || byteCount > ScsiBuffer.size() ||
        byteCount / kSectorSize > kMaxSectorsPerRead)
        return kScsiError;
    return Send(Read10Command(first, byteCount));
}

} // namespace quorvane
