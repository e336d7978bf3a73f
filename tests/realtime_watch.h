// Proof that audio code never allocates, locks or calls the system: every allocation and lock
// function of the test program is counted while `watching`, and a seccomp filter kills the
// process on any system call but the final exit. Run the watched code in a child process.
//
// Include this header in exactly one source file of a program: it defines the program's
// malloc, free and lock functions (a program's own take precedence over the C library's, also
// for calls from a plug-in library it loads).
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

namespace realtime_watch {

inline std::atomic<bool> watching{false};
inline std::atomic<int> forbiddenCalls{0};

inline void note() {
  if (watching.load(std::memory_order_relaxed)) forbiddenCalls.fetch_add(1, std::memory_order_relaxed);
}

/// Only exit and exit_group are allowed from now on; anything else kills the process with SIGSYS.
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

/// The child's end once watching is over: status 0 when nothing forbidden was counted, 10 else.
[[noreturn]] inline void exitWithVerdict() {
  watching = false;
  syscall(SYS_exit_group, forbiddenCalls.load() == 0 ? 0 : 10);
  __builtin_unreachable();
}

/// The parent's side: waits for the child and checks how it ended.
inline void expectClean(pid_t child) {
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  if (WIFSIGNALED(status)) {
    FAIL() << "the audio calls made a system call (signal " << WTERMSIG(status) << ")";
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 10) << "the audio calls allocated or locked";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the child could not prepare (status " << WEXITSTATUS(status) << ")";
}

}  // namespace realtime_watch

extern "C" {
void* malloc(std::size_t size) {
  realtime_watch::note();
  return __libc_malloc(size);
}
void* calloc(std::size_t n, std::size_t size) {
  realtime_watch::note();
  return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t size) {
  realtime_watch::note();
  return __libc_realloc(p, size);
}
void free(void* p) {
  realtime_watch::note();
  __libc_free(p);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  realtime_watch::note();
  return __libc_memalign(alignment, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
  realtime_watch::note();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  realtime_watch::note();
  *out = __libc_memalign(alignment, size);
  return *out ? 0 : 12;
}
int pthread_mutex_lock(pthread_mutex_t*) {
  realtime_watch::note();
  return 0;
}
int pthread_mutex_trylock(pthread_mutex_t*) {
  realtime_watch::note();
  return 0;
}
int pthread_mutex_unlock(pthread_mutex_t*) {
  realtime_watch::note();
  return 0;
}
int pthread_spin_lock(pthread_spinlock_t*) {
  realtime_watch::note();
  return 0;
}
int pthread_rwlock_rdlock(pthread_rwlock_t*) {
  realtime_watch::note();
  return 0;
}
int pthread_rwlock_wrlock(pthread_rwlock_t*) {
  realtime_watch::note();
  return 0;
}
}
