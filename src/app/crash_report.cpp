#include "app/crash_report.h"

#include <execinfo.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/crash_dump_name.h"
#include "app/signal_safe_writer.h"

namespace kanzo {
namespace {

constexpr int kMaxFrames = 64;
constexpr std::size_t kModulePathCapacity = 256;
constexpr std::size_t kLineBufferSize = 8192;
constexpr std::size_t kDirentBufferSize = 4096;
constexpr std::size_t kStatBufferSize = 512;
constexpr std::size_t kProcPathCapacity = 64;
constexpr std::size_t kAddressDigits = 16;
constexpr std::size_t kRegisterNameWidth = 8;
constexpr int kRegistersPerLine = 3;
constexpr const char* kMapsPath = "/proc/self/maps";
constexpr const char* kTaskFolder = "/proc/self/task";

struct Named {
  int value;
  const char* name;
};

constexpr Named kSignalNames[] = {
    {SIGSEGV, "SIGSEGV"}, {SIGBUS, "SIGBUS"},   {SIGILL, "SIGILL"}, {SIGFPE, "SIGFPE"},
    {SIGABRT, "SIGABRT"}, {SIGTRAP, "SIGTRAP"}, {SIGSYS, "SIGSYS"},
};

struct CodeName {
  int signal;  // 0: any signal
  int code;
  const char* name;
};

constexpr CodeName kCodeNames[] = {
    {0, SI_USER, "SI_USER"},
    {0, SI_KERNEL, "SI_KERNEL"},
    {0, SI_QUEUE, "SI_QUEUE"},
    {0, SI_TKILL, "SI_TKILL"},
    {SIGSEGV, SEGV_MAPERR, "SEGV_MAPERR"},
    {SIGSEGV, SEGV_ACCERR, "SEGV_ACCERR"},
    {SIGBUS, BUS_ADRALN, "BUS_ADRALN"},
    {SIGBUS, BUS_ADRERR, "BUS_ADRERR"},
    {SIGBUS, BUS_OBJERR, "BUS_OBJERR"},
    {SIGILL, ILL_ILLOPC, "ILL_ILLOPC"},
    {SIGILL, ILL_ILLOPN, "ILL_ILLOPN"},
    {SIGILL, ILL_ILLADR, "ILL_ILLADR"},
    {SIGILL, ILL_ILLTRP, "ILL_ILLTRP"},
    {SIGILL, ILL_PRVOPC, "ILL_PRVOPC"},
    {SIGILL, ILL_PRVREG, "ILL_PRVREG"},
    {SIGILL, ILL_COPROC, "ILL_COPROC"},
    {SIGILL, ILL_BADSTK, "ILL_BADSTK"},
    {SIGFPE, FPE_INTDIV, "FPE_INTDIV"},
    {SIGFPE, FPE_INTOVF, "FPE_INTOVF"},
    {SIGFPE, FPE_FLTDIV, "FPE_FLTDIV"},
    {SIGFPE, FPE_FLTOVF, "FPE_FLTOVF"},
    {SIGFPE, FPE_FLTUND, "FPE_FLTUND"},
    {SIGFPE, FPE_FLTRES, "FPE_FLTRES"},
    {SIGFPE, FPE_FLTINV, "FPE_FLTINV"},
    {SIGFPE, FPE_FLTSUB, "FPE_FLTSUB"},
};

const char* CodeNameOf(int signal, int code) {
  for (const CodeName& c : kCodeNames)
    if ((c.signal == 0 || c.signal == signal) && c.code == code) return c.name;
  return "";
}

// Codes above zero come from the processor; the others from a sender.
bool FromProcessor(const siginfo_t* info) { return info != nullptr && info->si_code > 0; }

// Scratch space of the one thread that writes a report.
struct Scratch {
  void* frames[kMaxFrames];
  char modulePath[kMaxFrames][kModulePathCapacity];
  std::uintptr_t moduleOffset[kMaxFrames];
  char line[kLineBufferSize];
};
Scratch gScratch;

// Reads a /proc text file line by line into a fixed buffer; a line longer
// than the buffer is cut.
class LineReader {
 public:
  LineReader(const char* path, char* buffer, std::size_t capacity)
      : fd_(open(path, O_RDONLY | O_CLOEXEC)), buffer_(buffer), capacity_(capacity) {}
  ~LineReader() {
    if (fd_ >= 0) close(fd_);
  }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool ok() const { return fd_ >= 0; }

  // The next line without its line end; false at the end of the file.
  bool Next(const char** line, std::size_t* length) {
    for (;;) {
      if (const void* end = std::memchr(buffer_ + start_, '\n', filled_ - start_)) {
        const std::size_t lineEnd = static_cast<std::size_t>(static_cast<const char*>(end) - buffer_);
        *line = buffer_ + start_;
        *length = lineEnd - start_;
        start_ = lineEnd + 1;
        return true;
      }
      if (start_ > 0) {
        std::memmove(buffer_, buffer_ + start_, filled_ - start_);
        filled_ -= start_;
        start_ = 0;
      }
      if (filled_ == capacity_) {  // cut an over-long line
        *line = buffer_;
        *length = filled_;
        filled_ = 0;
        return true;
      }
      const ssize_t n = eof_ || fd_ < 0 ? 0 : read(fd_, buffer_ + filled_, capacity_ - filled_);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        eof_ = true;
        if (filled_ == 0) return false;
        *line = buffer_;
        *length = filled_;
        filled_ = 0;
        return true;
      }
      filled_ += static_cast<std::size_t>(n);
    }
  }

 private:
  int fd_;
  char* buffer_;
  std::size_t capacity_;
  std::size_t start_ = 0;
  std::size_t filled_ = 0;
  bool eof_ = false;
};

// Parses a hexadecimal number at `*p`, advancing past it.
std::uintptr_t ParseHex(const char** p, const char* end) {
  std::uintptr_t value = 0;
  for (; *p < end; ++*p) {
    const char c = **p;
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else
      break;
    value = value * 16 + static_cast<std::uintptr_t>(digit);
  }
  return value;
}

const char* SkipField(const char* p, const char* end) {
  while (p < end && *p != ' ') ++p;
  while (p < end && *p == ' ') ++p;
  return p;
}

// One line of /proc/self/maps: "start-end perms offset dev inode   path".
struct MapsEntry {
  std::uintptr_t start = 0;
  std::uintptr_t end = 0;
  std::uintptr_t offset = 0;
  const char* path = nullptr;
  std::size_t pathLength = 0;
};

bool ParseMapsLine(const char* line, std::size_t length, MapsEntry* entry) {
  const char* p = line;
  const char* end = line + length;
  entry->start = ParseHex(&p, end);
  if (p >= end || *p != '-') return false;
  ++p;
  entry->end = ParseHex(&p, end);
  p = SkipField(p, end);  // to perms
  p = SkipField(p, end);  // to offset
  entry->offset = ParseHex(&p, end);
  p = SkipField(p, end);  // to dev
  p = SkipField(p, end);  // to inode
  p = SkipField(p, end);  // to path
  entry->path = p;
  entry->pathLength = static_cast<std::size_t>(end - p);
  return true;
}

// Finds the mapping of every frame so that the trace reads "module+offset".
void ResolveModules(int count) {
  for (int i = 0; i < count; ++i) gScratch.modulePath[i][0] = '\0';
  LineReader maps(kMapsPath, gScratch.line, sizeof(gScratch.line));
  const char* line;
  std::size_t length;
  while (maps.Next(&line, &length)) {
    MapsEntry entry;
    if (!ParseMapsLine(line, length, &entry) || entry.pathLength == 0) continue;
    for (int i = 0; i < count; ++i) {
      const auto address = reinterpret_cast<std::uintptr_t>(gScratch.frames[i]);
      if (gScratch.modulePath[i][0] != '\0' || address < entry.start || address >= entry.end) continue;
      const std::size_t n = entry.pathLength < kModulePathCapacity - 1 ? entry.pathLength : kModulePathCapacity - 1;
      std::memcpy(gScratch.modulePath[i], entry.path, n);
      gScratch.modulePath[i][n] = '\0';
      gScratch.moduleOffset[i] = address - entry.start + entry.offset;
    }
  }
}

std::uintptr_t FaultingPc(const void* context) {
  if (context == nullptr) return 0;
  const auto* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
  return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
  return static_cast<std::uintptr_t>(uc->uc_mcontext.pc);
#else
  (void)uc;
  return 0;
#endif
}

void WriteHeader(SignalSafeWriter& out, const CrashReportInput& in) {
  const CrashCivilTime local = CivilFromSeconds(in.utcSeconds + in.utcOffset);
  char two[kMaxNumberDigits + 1];
  out.Text("Kanzo crash report\n");
  out.Text("program: ").Text(in.programPath).Char('\n');
  out.Text("process: ").Dec(in.pid).Char('\n');
  out.Text("thread: ").Dec(in.tid).Char('\n');
  out.Text("time: ").Dec(local.year).Char('-');
  out.Bytes(two, FormatUnsigned(two, static_cast<std::uint64_t>(local.month), 10, 2)).Char('-');
  out.Bytes(two, FormatUnsigned(two, static_cast<std::uint64_t>(local.day), 10, 2)).Char(' ');
  out.Bytes(two, FormatUnsigned(two, static_cast<std::uint64_t>(local.hour), 10, 2)).Char(':');
  out.Bytes(two, FormatUnsigned(two, static_cast<std::uint64_t>(local.minute), 10, 2)).Char(':');
  out.Bytes(two, FormatUnsigned(two, static_cast<std::uint64_t>(local.second), 10, 2));
  out.Text(" local, UTC offset ").Dec(in.utcOffset).Text(" s, ").Dec(in.utcSeconds).Text(" s since 1970 UTC\n");
  out.Text("signal: ").Dec(in.signal).Text(" (").Text(CrashSignalName(in.signal)).Text(")\n");
  if (in.info != nullptr) {
    out.Text("code: ").Dec(in.info->si_code);
    const char* codeName = CodeNameOf(in.signal, in.info->si_code);
    if (*codeName != '\0') out.Text(" (").Text(codeName).Char(')');
    out.Char('\n');
    if (FromProcessor(in.info)) {
      out.Text("address: ").Hex(reinterpret_cast<std::uintptr_t>(in.info->si_addr), kAddressDigits).Char('\n');
    } else {
      out.Text("sender: process ").Dec(in.info->si_pid).Text(", user ").Unsigned(in.info->si_uid).Char('\n');
    }
  }
}

void WriteRegister(SignalSafeWriter& out, const char* name, std::uint64_t value, int* column) {
  out.Text("  ").Padded(name, kRegisterNameWidth).Hex(value, kAddressDigits);
  if (++*column == kRegistersPerLine) {
    out.Char('\n');
    *column = 0;
  }
}

void WriteRegisters(SignalSafeWriter& out, const void* context) {
  out.Text("\nregisters:\n");
  if (context == nullptr) {
    out.Text("  (none)\n");
    return;
  }
  const auto* uc = static_cast<const ucontext_t*>(context);
  int column = 0;
#if defined(__x86_64__)
  static constexpr Named kRegisters[] = {
      {REG_RAX, "rax"},       {REG_RBX, "rbx"},         {REG_RCX, "rcx"},    {REG_RDX, "rdx"},       {REG_RSI, "rsi"},
      {REG_RDI, "rdi"},       {REG_RBP, "rbp"},         {REG_RSP, "rsp"},    {REG_R8, "r8"},         {REG_R9, "r9"},
      {REG_R10, "r10"},       {REG_R11, "r11"},         {REG_R12, "r12"},    {REG_R13, "r13"},       {REG_R14, "r14"},
      {REG_R15, "r15"},       {REG_RIP, "rip"},         {REG_EFL, "eflags"}, {REG_CSGSFS, "csgsfs"}, {REG_ERR, "err"},
      {REG_TRAPNO, "trapno"}, {REG_OLDMASK, "oldmask"}, {REG_CR2, "cr2"},
  };
  for (const Named& r : kRegisters)
    WriteRegister(out, r.name, static_cast<std::uint64_t>(uc->uc_mcontext.gregs[r.value]), &column);
#elif defined(__aarch64__)
  static constexpr const char* kNames[] = {"x0",  "x1",  "x2",  "x3",  "x4",  "x5",  "x6",  "x7",  "x8",  "x9",  "x10",
                                           "x11", "x12", "x13", "x14", "x15", "x16", "x17", "x18", "x19", "x20", "x21",
                                           "x22", "x23", "x24", "x25", "x26", "x27", "x28", "fp",  "lr"};
  for (int i = 0; i < static_cast<int>(sizeof(kNames) / sizeof(kNames[0])); ++i)
    WriteRegister(out, kNames[i], uc->uc_mcontext.regs[i], &column);
  WriteRegister(out, "sp", uc->uc_mcontext.sp, &column);
  WriteRegister(out, "pc", uc->uc_mcontext.pc, &column);
  WriteRegister(out, "pstate", uc->uc_mcontext.pstate, &column);
  WriteRegister(out, "fault", uc->uc_mcontext.fault_address, &column);
#else
  (void)uc;
  out.Text("  (not available on this processor)\n");
#endif
  if (column != 0) out.Char('\n');
}

void WriteStack(SignalSafeWriter& out, const void* context) {
  out.Text("\nstack:\n");
  const int count = backtrace(gScratch.frames, kMaxFrames);
  // The walk starts inside this handler; the fault's own frame is the one
  // whose address is the interrupted instruction.
  const std::uintptr_t pc = FaultingPc(context);
  int first = 0;
  for (int i = 0; i < count; ++i) {
    if (reinterpret_cast<std::uintptr_t>(gScratch.frames[i]) == pc) {
      first = i;
      break;
    }
  }
  ResolveModules(count);
  for (int i = first; i < count; ++i) {
    out.Text("  #").Dec(i - first).Char(' ').Hex(reinterpret_cast<std::uintptr_t>(gScratch.frames[i]), kAddressDigits);
    if (gScratch.modulePath[i][0] != '\0')
      out.Char(' ').Text(gScratch.modulePath[i]).Char('+').Hex(gScratch.moduleOffset[i]);
    out.Char('\n');
  }
  if (count <= 0) out.Text("  (unavailable)\n");
}

// "tid state name" from /proc/self/task/<tid>/stat, where the name stands in
// parentheses and may itself hold blanks and parentheses.
void WriteThread(SignalSafeWriter& out, const char* tidText, pid_t faultingTid) {
  char path[kProcPathCapacity];
  std::size_t n = 0;
  const std::size_t folderLength = std::strlen(kTaskFolder);
  std::memcpy(path, kTaskFolder, folderLength);
  n = folderLength;
  path[n++] = '/';
  for (const char* p = tidText; *p != '\0' && n < sizeof(path) - sizeof("/stat"); ++p) path[n++] = *p;
  std::memcpy(path + n, "/stat", sizeof("/stat"));

  char stat[kStatBufferSize];
  ssize_t got = -1;
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    do {
      got = read(fd, stat, sizeof(stat) - 1);
    } while (got < 0 && errno == EINTR);
    close(fd);
  }
  std::int64_t tid = 0;
  for (const char* p = tidText; *p >= '0' && *p <= '9'; ++p) tid = tid * 10 + (*p - '0');
  out.Text(tid == faultingTid ? "* " : "  ").Text(tidText);
  if (got > 0) {
    stat[got] = '\0';
    const char* open = std::strchr(stat, '(');
    const char* close = std::strrchr(stat, ')');
    if (open != nullptr && close != nullptr && close > open) {
      if (close[1] == ' ' && close[2] != '\0') out.Char(' ').Char(close[2]);
      out.Char(' ').Bytes(open + 1, static_cast<std::size_t>(close - open - 1));
    }
  }
  out.Char('\n');
}

struct LinuxDirent64 {
  std::uint64_t ino;
  std::int64_t off;
  unsigned short reclen;
  unsigned char type;
  char name[1];
};

void WriteThreads(SignalSafeWriter& out, pid_t faultingTid) {
  out.Text("\nthreads (tid state name, * faulted):\n");
  const int fd = open(kTaskFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    out.Text("  (unavailable)\n");
    return;
  }
  alignas(LinuxDirent64) char buffer[kDirentBufferSize];
  for (;;) {
    const long n = syscall(SYS_getdents64, fd, buffer, sizeof(buffer));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (long offset = 0; offset < n;) {
      const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
      if (entry->name[0] >= '0' && entry->name[0] <= '9') WriteThread(out, entry->name, faultingTid);
      offset += entry->reclen;
    }
  }
  close(fd);
}

void WriteMemoryMap(SignalSafeWriter& out) {
  out.Text("\nmemory map:\n");
  const int fd = open(kMapsPath, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    out.Text("  (unavailable)\n");
    return;
  }
  for (;;) {
    const ssize_t n = read(fd, gScratch.line, sizeof(gScratch.line));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.Bytes(gScratch.line, static_cast<std::size_t>(n));
  }
  close(fd);
}

}  // namespace

const char* CrashSignalName(int signal) {
  for (const Named& s : kSignalNames)
    if (s.value == signal) return s.name;
  return "signal";
}

void PrimeCrashReport() {
  // glibc loads the unwinder (and allocates) on the first walk only.
  void* frame[1];
  backtrace(frame, 1);
}

int WriteCrashReport(int fd, const CrashReportInput& input) {
  SignalSafeWriter out(fd);
  WriteHeader(out, input);
  WriteRegisters(out, input.context);
  WriteStack(out, input.context);
  WriteThreads(out, input.tid);
  WriteMemoryMap(out);
  out.Text("\nend of report\n");
  return out.Flush();
}

}  // namespace kanzo
