#pragma once

// Everything the program asks of the system it runs on, one interface each, all
// in this folder: a port to another system implements these and hands them to
// the main form (src/platform/<system> holds the implementations, the program's
// main() composes them).
//
//   MemoryStatus      physical and virtual memory, load and paging figures
//   MemoryBlock       a block of memory taken and touched, to make the system free RAM
//   SystemCounters    processors, idle and system time (the CPU meter)
//   DynamicData       a system's published performance statistics, where it has them
//   Clock             local date-time and the millisecond tick count
//   TimerScheduler    runs the timers of the forms
//   EventLoop         lets pending events run during a long step
//   ProfileFile       reading and writing INI files (settings.ini)
//   RegistryStore     the user's small store of values (the registry, or its stand-in)
//   ProgramDirectory  the folder the program was installed in and keeps its files in
//   TextFile          whole text files (the launcher's list)
//   PictureFiles      bitmap files in and out
//   MessageBoxes      modal questions and notices
//   FileDialog        the open-file dialog
//   TrayIcon          the notification-area icon, its tooltip and balloons
//   UrlOpener         the user's web browser
//   ProcessStarter    starts the user's programs
//   ProgramExit       ends the program after the current event
//   ErrorReporter     where trapped errors go (core/base, beside the trap)
// and, for the online features and the self-update, outside the main form:
//   HttpTransfer, ConnectivityProbe, SystemVersion, HandOver, PackageTrust, ProgramFiles.

#include "core/base/ErrorReporter.h"
#include "core/system/Clock.h"
#include "core/system/DynamicData.h"
#include "core/system/EventLoop.h"
#include "core/system/FileDialog.h"
#include "core/system/MemoryBlock.h"
#include "core/system/MemoryStatus.h"
#include "core/system/MessageBoxes.h"
#include "core/system/PictureFiles.h"
#include "core/system/ProcessStarter.h"
#include "core/system/ProfileFile.h"
#include "core/system/ProgramDirectory.h"
#include "core/system/ProgramExit.h"
#include "core/system/RegistryStore.h"
#include "core/system/SystemCounters.h"
#include "core/system/TextFile.h"
#include "core/system/TimerScheduler.h"
#include "core/system/TrayIcon.h"
#include "core/system/UrlOpener.h"

namespace nimbrel {

// The services the main form runs on, passed in by main().
struct SystemServices {
    MemoryStatus& memory;
    MemoryBlock& block;
    MessageBoxes& messages;
    ErrorReporter& reporter;
    UrlOpener& urls;
    ProgramExit& exit;
    TimerScheduler& scheduler;
    Clock& clock;
    ProfileFile& profile;
    RegistryStore& registry;
    ProgramDirectory& directory;
    PictureFiles& pictures;
    SystemCounters& counters;
    DynamicData* dynamicData; // none where the system publishes no such statistics
    TrayIcon& trayIcon;
    EventLoop& events;
    ProcessStarter& programs;
    FileDialog& fileDialog;
    TextFile& files;
};

} // namespace nimbrel
