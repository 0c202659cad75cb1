#include "AmountLists.h"

#include "AvailableMemory.h"
#include "core/base/Numbers.h"
#include "core/base/Trap.h"

#include <string>

namespace nimbrel {

namespace {

std::string kilobytesText(std::uint64_t bytes)
{
    return shortestDecimal(roundHalfEven(static_cast<double>(bytes) / 1024.0));
}

} // namespace

AmountLists::AmountLists(MemoryStatus& status, ErrorReporter& reporter) : status_(status), reporter_(reporter) {}

void AmountLists::initMemory()
{
    const Trap trap(reporter_, "frmMain,initMemory");
    MemorySnapshot memory;
    trap([&] { memory = status_.read(); });
    trap([&] { totalPhysicalMB_ = toInt32(static_cast<double>(bytesToMB(memory.totalPhys)) + 1.0); });
    trap([&] { totalPageFileMB_ = toInt32(static_cast<double>(bytesToMB(memory.totalPageFile)) + 1.0); });
    trap([&] { lblPM.setCaption(lblPM.caption() + " " + kilobytesText(memory.totalPhys) + " KB"); });
    trap([&] { lblVM.setCaption(lblVM.caption() + " " + kilobytesText(memory.totalPageFile) + " KB"); });
    totalPhysBytes_ = memory.totalPhys;
    totalPageFileBytes_ = memory.totalPageFile;
}

void AmountLists::followTotals(const MemorySnapshot& memory)
{
    if (memory.totalPhys == totalPhysBytes_ && memory.totalPageFile == totalPageFileBytes_) return;
    // Nothing is taken from a reading that does not fit: the totals stay those of the last one that did.
    const std::int32_t physicalMB = toInt32(static_cast<double>(bytesToMB(memory.totalPhys)) + 1.0);
    const std::int32_t pageFileMB = toInt32(static_cast<double>(bytesToMB(memory.totalPageFile)) + 1.0);
    totalPhysBytes_ = memory.totalPhys;
    totalPageFileBytes_ = memory.totalPageFile;
    totalPhysicalMB_ = physicalMB;
    totalPageFileMB_ = pageFileMB;
    lblPM.setCaption(std::string(physicalCaption) + " " + kilobytesText(memory.totalPhys) + " KB");
    lblVM.setCaption(std::string(pageFileCaption) + " " + kilobytesText(memory.totalPageFile) + " KB");
    totalsChanged.emit();
}

void AmountLists::fillLists()
{
    const Trap trap(reporter_, "frmMain,loadRAM");
    trap([&] { cmbStartupRam.addItem("0 MB"); });
    for (int i = 1; i <= maxEntries; ++i) {
        if (2 * i > totalPhysicalMB_) break;
        const std::string text = std::to_string(2 * i) + " MB";
        for (ListModel* list : {&lstRam, &cmbStartupRam, &lstTimeAmount, &lstAutoAmount, &cmbAutoRelease}) {
            trap([&] { list->addItem(text); });
        }
    }
}

} // namespace nimbrel
