#pragma once
// A board reached through a vendor-style library that exports the six
// operations with C linkage ("VasteData/libk8055d.so", "VasteData/K8055d.dll").

#include "board/board.h"

#include <QLibrary>
#include <QString>
#include <memory>
#include <string>

namespace blokpost {

class LibraryBoard : public Board {
public:
    // Loads the library and resolves all six functions. Returns null, with a
    // reason in `problem`, when the file is absent (problem stays empty) or
    // when it cannot be loaded or lacks a function.
    static std::unique_ptr<LibraryBoard> load(const QString& file, std::string& problem);
    ~LibraryBoard() override;

    std::int32_t OpenDevice(std::int32_t address) override { return open_(address); }
    void OutputAllAnalog(std::int32_t value1, std::int32_t value2) override { outputAllAnalog_(value1, value2); }
    std::int32_t ReadAllDigital() override { return readAllDigital_(); }
    void SetDigitalChannel(std::int32_t channel) override { setDigitalChannel_(channel); }
    void ClearAllDigital() override { clearAllDigital_(); }
    std::int32_t ReadAnalogChannel(std::int32_t channel) override { return readAnalogChannel_(channel); }

private:
    LibraryBoard() = default;

    QLibrary library_;
    std::int32_t (*open_)(std::int32_t) = nullptr;
    std::int32_t (*outputAllAnalog_)(std::int32_t, std::int32_t) = nullptr;
    std::int32_t (*readAllDigital_)() = nullptr;
    std::int32_t (*setDigitalChannel_)(std::int32_t) = nullptr;
    std::int32_t (*clearAllDigital_)() = nullptr;
    std::int32_t (*readAnalogChannel_)(std::int32_t) = nullptr;
};

// The library file for this platform, inside the data folder.
const char* boardLibraryName();

}  // namespace blokpost
