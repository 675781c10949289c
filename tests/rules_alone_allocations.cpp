// Every operator new of RulesAloneTest's process is counted, so that a verification is seen to
// allocate nothing. In a file of its own: beside the callers, the compiler would take the free
// behind delete for a mismatch with the new it inlined.
#include <cstdlib>
#include <new>

namespace {

long g_allocations = 0;

void* Allocate(std::size_t bytes) {
    ++g_allocations;
    void* p = std::malloc(bytes ? bytes : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

}  // namespace

long RulesAloneAllocations() { return g_allocations; }

void* operator new(std::size_t bytes) { return Allocate(bytes); }
void* operator new[](std::size_t bytes) { return Allocate(bytes); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
