// The background download facility: one file from an address into a target path, optionally
// in parallel parts, with byte counters for display and notifications for the caller.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace zv {

// Notification codes; the numbers are the ones the caller's handler is written against.
enum class TransferCode : int {
  Size = 3,           // the whole length is known: `length`
  Ended = 4,          // the transfer is over, whole or not: `outcome`
  TargetExists = 18,  // the target file is there already; answer 0 to have it replaced
};

struct TransferOutcome {
  bool whole = false;      // every byte of the file arrived and the file stands at savedPath
  std::string savedPath;   // where the file was stored (GBK); empty when nothing was kept
  int64_t received = 0;    // bytes that arrived
  int64_t length = -1;     // the length the server reported, -1 when it reported none
};

struct TransferNotice {
  TransferCode code;
  int64_t length = 0;
  TransferOutcome outcome;
};

// Called on a worker thread of the service; the answer is the handler's return value.
using TransferHandler = std::function<int(const TransferNotice&)>;

struct TransferSettings {
  std::string source;  // http address
  std::string target;  // file path (GBK)
  int parts = 1;       // parallel ranges when the server supports them
  int connectTimeoutMs = 20000;
  int commandTimeoutMs = 20000;
  int receiveTimeoutMs = 20000;
  int stopWaitMs = 1000;   // how long Stop waits for the workers
  int blockBytes = 20480;  // read block of each worker
  TransferHandler handler;
};

class ITransferService {
 public:
  virtual ~ITransferService() = default;
  // Begins in the background and returns at once. A transfer already running is stopped first.
  virtual void Start(const TransferSettings& settings) = 0;
  // Bytes of the current (or last) transfer so far; 0 before any transfer.
  virtual int64_t BytesSoFar() = 0;
  // Bytes since the previous call of this function; the call clears the count.
  virtual int64_t BytesSinceLastQuery() = 0;
  // Stops the transfer and waits up to the settings' stop wait for the workers. No
  // notification is delivered once Stop has returned. A stopped transfer keeps no file.
  virtual void Stop() = 0;
};

}  // namespace zv
