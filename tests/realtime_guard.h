// What proves that audio calls never allocate, lock or call the system: counting wrappers of
// the allocation and lock functions (an executable's own symbols take precedence over the C
// library's, also for calls from a plug-in library it loads) and a seccomp filter that kills
// the process on any system call but exit. Include it in one file of a test executable, and
// run the watched calls in a child process.
#pragma once

#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>

// glibc's own entry points, so the counting wrappers below can forward to them.
extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);
extern "C" void __libc_free(void*);
extern "C" void* __libc_memalign(std::size_t, std::size_t);

namespace realtime_guard {
/// While true, every call of a wrapper below is counted as forbidden.
inline std::atomic<bool> watching{false};
inline std::atomic<int> forbiddenCalls{0};
inline void note() {
  if (watching.load(std::memory_order_relaxed)) forbiddenCalls.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace realtime_guard

using realtime_guard::note;

// Executable symbols take precedence over the C library's, also for calls from the plug-in.
extern "C" {
void* malloc(std::size_t size) {
  note();
  return __libc_malloc(size);
}
void* calloc(std::size_t n, std::size_t size) {
  note();
  return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t size) {
  note();
  return __libc_realloc(p, size);
}
void free(void* p) {
  note();
  __libc_free(p);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  note();
  return __libc_memalign(alignment, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
  note();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  note();
  *out = __libc_memalign(alignment, size);
  return *out ? 0 : 12;
}
int pthread_mutex_lock(pthread_mutex_t*) {
  note();
  return 0;
}
int pthread_mutex_trylock(pthread_mutex_t*) {
  note();
  return 0;
}
int pthread_mutex_unlock(pthread_mutex_t*) {
  note();
  return 0;
}
int pthread_spin_lock(pthread_spinlock_t*) {
  note();
  return 0;
}
int pthread_rwlock_rdlock(pthread_rwlock_t*) {
  note();
  return 0;
}
int pthread_rwlock_wrlock(pthread_rwlock_t*) {
  note();
  return 0;
}
}

namespace realtime_guard {

/// Only exit and exit_group are allowed; anything else kills the process with SIGSYS.
inline bool forbidSystemCalls() {
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_exit_group, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_exit, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
  };
  sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) == 0;
}

/// Ends the watched child: 0 when no forbidden call was counted, else 10.
[[noreturn]] inline void endWatching() {
  watching = false;
  syscall(SYS_exit_group, forbiddenCalls.load() == 0 ? 0 : 10);
  __builtin_unreachable();
}

/// Waits for the child and checks how it ended: killed by the filter (a system call), exit 10
/// (an allocation or a lock), or any other failure of its own (its exit status).
inline void expectCleanChild(pid_t child, const char* calls) {
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  if (WIFSIGNALED(status)) {
    FAIL() << calls << " made a system call (signal " << WTERMSIG(status) << ")";
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 10) << calls << " allocated or locked";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace realtime_guard
