#pragma once
// What the fuzz harnesses share: a failed check that makes libFuzzer keep the
// input, an observer that keeps what it received, and a host in a box for
// the harnesses whose input travels through the SDK pool and the UI loop.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "datahub/observer.h"

namespace Kestrel {
class CKestrel;
}  // namespace Kestrel
namespace hostfw {
class Environment;
}  // namespace hostfw

namespace kestrel_fuzz {

// Prints the broken expectation and aborts: libFuzzer then writes the input
// out as a crash.
[[noreturn]] void Fail(const char* expectation, const char* file, int line);

#define FUZZ_CHECK(condition) \
    ((condition) ? (void)0 : ::kestrel_fuzz::Fail(#condition, __FILE__, __LINE__))

// A text field as the platform lays it out: up to its first zero byte, never
// beyond the field's width or the record's end. The harnesses' own reading,
// against which Kestrel's decoding is compared.
std::string FieldText(const uint8_t* record, std::size_t size, std::size_t offset, std::size_t width);

// Reads a little-endian value at offset; 0 when it lies beyond size.
template <class T>
T FieldValue(const uint8_t* record, std::size_t size, std::size_t offset) {
    T value{};
    if (offset <= size && sizeof(T) <= size - offset) std::memcpy(&value, record + offset, sizeof(T));
    return value;
}

// Reads a field of a platform record by its name, as the harnesses compare
// Kestrel's decoding with it.
#define TEXT_OF(Record, field, p, n) ::kestrel_fuzz::FieldText(p, n, offsetof(Record, field), sizeof(Record::field))
#define VALUE_OF(T, Record, field, p, n) ::kestrel_fuzz::FieldValue<T>(p, n, offsetof(Record, field))

// The platform's side of a traffic record of `size` bytes: its item pointer
// leads to as many items as the record counts. Points it at the whole items
// that follow the record (or leaves it null), makes the count fit them, and
// returns it.
uint32_t PlaceTrafficItems(uint8_t* payload, std::size_t size, bool nullItems);

class KeepingObserver : public Datahub::IObserver {
public:
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override;
    // What arrived since the last call.
    std::vector<std::shared_ptr<Datahub::BaseParam>> Take();

private:
    std::mutex m_mutex;
    std::vector<std::shared_ptr<Datahub::BaseParam>> m_received;
};

// The stand-in host with a logged-in user and one initialised CKestrel, made
// on first use and shut down at exit (before the process's statics go), with
// a KeepingObserver on each façade. Log lines are swallowed.
class FuzzHost {
public:
    static FuzzHost& Get();

    // The manager delegate as the login manager sees it.
    Datahub::IObserver& LoginIntake();
    // Waits until the pool, the UI loop and the event delivery are idle;
    // a host that does not settle within 10 s is a failure.
    void Settle();

    KeepingObserver device;
    KeepingObserver ptz;
    KeepingObserver face;

private:
    FuzzHost();
    static void ShutDown();

    std::unique_ptr<hostfw::Environment> m_env;
    std::shared_ptr<Kestrel::CKestrel> m_kestrel;
};

}  // namespace kestrel_fuzz
