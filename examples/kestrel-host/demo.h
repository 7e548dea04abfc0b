#pragma once
// `kestrel-host demo`: a tour that drives every façade operation at least
// once, makes the platform push one server event of every kind, prints every
// event the observers receive and ends with the per-operation table. The
// exit status is 0 only when every expected event arrived with its expected
// result.
namespace kestrel_host {

class HostSession;

// The process exit status: 0 pass, 1 something missing or wrong.
int RunDemo(HostSession& session);

}  // namespace kestrel_host
