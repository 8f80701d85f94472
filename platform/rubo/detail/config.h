#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace rubo::detail {

// Bounds that keep one client from holding the server, locking other clients out or
// exhausting its memory. The defaults are the server's constants; the configuration file may
// change each of them (see LoadConfig).
struct Limits {
  // Request line, header fields and trailer fields of one request together (431 beyond).
  // The largest header block a client of the gateway sends is well under 2 KiB; 16 KiB for
  // each of 256 connections keeps the worst case at 4 MiB.
  std::uint32_t maxHeaderBytes = 16 * 1024;
  // Header (and trailer) fields of one request (431 beyond).
  std::uint32_t maxHeaderFields = 100;
  // Body of one request after chunked decoding, chunk-size lines with their extensions
  // counted in (413 beyond). The largest POST body of the model is under 2 KiB.
  std::uint64_t maxBodyBytes = 64 * 1024;
  // One chunk-size line with its extensions (413 beyond); nothing legitimate comes close.
  std::uint32_t maxChunkLineBytes = 1024;

  // A kept-alive (or new) connection waiting for the first byte of a request. Short: on the
  // loopback a client reconnects at no cost, while an idle connection holds a slot.
  std::chrono::milliseconds idleTimeout{5'000};
  // From the first byte of a request until its header is complete: a slow-header client
  // holds its slot for at most this long.
  std::chrono::milliseconds headerTimeout{5'000};
  // Receiving the body once the header is complete: bodies are small but may come from a
  // busier client, so this one is longer.
  std::chrono::milliseconds bodyTimeout{15'000};
  // Writing one response.
  std::chrono::milliseconds writeTimeout{30'000};
  // After a response that ends the connection, what the client still sends (the rest of a
  // refused body, say) is read and dropped for at most this long and at most maxLingerBytes
  // before the socket closes, so that closing does not reset the connection under the
  // response. Nothing of it is kept.
  std::chrono::milliseconds lingerTimeout{1'000};
  std::uint64_t maxLingerBytes = 1024 * 1024;
  // How long Stop lets requests in progress end before it closes their connections.
  std::chrono::milliseconds stopGrace{5'000};

  // When every slot (or a peer's share) is taken, a new connection gets the slot of one that
  // only lingers, else of the one that has waited longest for its current request (idle since
  // its last response, or trickling a request in since then), else of the write queued last
  // (see SlotTable); a 503 when every request is being parsed, run or answered. Fitted to the
  // open-file limit at start (FitToOpenFiles).
  std::size_t maxConnections = 256;
  // Connections one peer address may hold at once (a quarter of the slots), so that a
  // misbehaving client leaves room for the others even before its connections time out.
  std::size_t maxConnectionsPerPeer = 64;
  // Seconds a client is told to wait when every slot is busy (Retry-After of the 503).
  std::uint32_t retryAfterSeconds = 1;

  // I/O threads: they accept, parse, route and answer every request that runs no
  // pre-update hook.
  std::size_t ioThreads = 2;
  // Pre-update hooks may block (a write to the vehicle waits up to a second); they run on a
  // pool of at most this many threads, further requests queue (at most one per connection).
  std::size_t maxWorkerThreads = 8;
  // A worker thread idle this long ends, so the pool shrinks back to nothing when idle.
  std::chrono::milliseconds workerIdleTimeout{5'000};
  // POSTs of one element run one after another, each possibly waiting a second for the
  // vehicle: at most this many wait behind the one that runs. Further ones are answered 503
  // with Retry-After at once and run no hook, so that a client learns of the congestion in
  // time and the writes that wait do not hold every slot.
  std::size_t maxQueuedUpdates = 8;
};

struct HttpConfig {
  std::string address;
  std::uint16_t port = 0;
  Limits limits;
};

// Descriptors the process keeps besides its HTTP connections: its SOME/IP sockets, logging,
// the event and timer descriptors of its threads, a socket accepted on its way to a refusal.
inline constexpr std::uint64_t kOwnDescriptors = 64;

struct OpenFilePlan {
  std::uint64_t softLimit;     // RLIMIT_NOFILE's soft limit to set (the given one when it suffices)
  std::size_t maxConnections;  // the slots that fit
  std::size_t maxOpen;         // connections held at once, with a slot or closing: what the descriptors allow
};

// A slot taken for a newer connection leaves the old one closing (lingering up to a second), so
// the connections need up to twice their slots in descriptors, plus the process's own. The soft
// limit is raised towards the hard one as far as that needs; what still does not fit lowers the
// slots.
OpenFilePlan FitToOpenFiles(std::size_t maxConnections, std::uint64_t soft, std::uint64_t hard) noexcept;

// Reads the configuration file; a file that does not exist gives the defaults, one that
// exists but is not a valid configuration throws std::runtime_error.
HttpConfig LoadConfig(const std::string& path);

// The configuration file to read: the one named by the environment variable when it is set
// and not empty, else the given one.
std::string ConfigPathFor(const std::string& givenPath);

}  // namespace rubo::detail
