// Any UTF-16 message (lone surrogates included), time, identifiers and time separator through the log
// writer, over in-memory stand-ins for the system (code page 1251) and the files.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "diag/LogFile.h"
#include "diag/LogLine.h"
#include "support/SupportUtils.h"
#include "tests/unit/support/FakeFilePlatform.h"
#include "tests/unit/support/FakeSystemPlatform.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::uint16_t Take16(const std::uint8_t*& data, std::size_t& size) {
    if (size < 2) {
        return 0;
    }
    const std::uint16_t value = std::uint16_t(data[0] | (data[1] << 8));
    data += 2;
    size -= 2;
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick;
    testing::FakeSystemPlatform system;
    system.Now = {Take16(data, size), Take16(data, size), Take16(data, size), Take16(data, size),
                  Take16(data, size), Take16(data, size), Take16(data, size), Take16(data, size)};
    system.ProcessId = std::uint32_t(Take16(data, size)) << 16 | Take16(data, size);
    system.ThreadId = std::uint32_t(Take16(data, size)) << 16 | Take16(data, size);
    const std::uint16_t choice = Take16(data, size);
    const std::u16string separators[] = {u":", u".", u"", u"\xD800", u"::"};
    system.TimeSeparator = separators[choice % 5];
    const bool debugOnly = (choice & 0x100) != 0;
    std::u16string message;
    while (size >= 2) {
        message += char16_t(Take16(data, size));
    }

    testing::FakeFilePlatform files;
    files.AddFolder(u"C:\\Users\\tester\\AppData\\Roaming");
    TLogFile log(system, files);
    log.Write(message, debugOnly);
    Check(files.OpenHandles() == 0);
    const std::string content = files.Content(log.LogFileName());
    if (debugOnly) {
        Check(content.empty());
        return 0;
    }
    // One byte per UTF-16 code unit of the whole line, and the line break at the end.
    const std::u16string line = BuildLogLine(system.Now, LocaleTimeSeparator(system),
                                             LogPrefix(system.ProcessId, system.ThreadId) + message);
    Check(content.size() == line.size());
    Check(content.size() >= 2 && content.compare(content.size() - 2, 2, "\r\n") == 0);
    Check(content == WideToCodePage(system, line, 1251));
    return 0;
}
