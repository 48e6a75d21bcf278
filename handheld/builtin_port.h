#pragma once
// The virtual handheld as a port: a program without a handheld opens this
// instead of a serial device and gets the same protocol, served from a
// folder on the PC.
//
// Promises:
// - OpenBuiltInHandheld() returns the PC's end of an in-memory line whose
//   other end a VirtualHandheld serves on a thread the returned port owns;
//   the handheld greets at once and serves sessions one after another.
// - The handheld's files live under `root` (created when missing), named on
//   disk through `map`. When the folder cannot be made it fails with
//   "无法打开串口虚拟文曲星!", why, the folder's name and the OS's reason.
// - Cancel() stops the PC's reads and writes, as on any port; the handheld
//   keeps serving until the port is destroyed.
// - Destroying the port hangs the line up and waits for the handheld's
//   thread to end; nothing is left running.

#include <filesystem>
#include <memory>

#include "handheld/device_paths.h"
#include "link/port.h"

namespace kestrel {

ResultOf<std::unique_ptr<Port>> OpenBuiltInHandheld(const std::filesystem::path& root,
                                                    NameMapper map);

}  // namespace kestrel
