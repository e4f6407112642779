#include "KroStackUnwinder.h"

#include "KroSafeRead.h"

#include <cstring>
#include <dlfcn.h>
#include <libunwind.h>
#include <sys/ucontext.h>

namespace {

// What one unwinding may read, counted in 64-bit words: a deep recursion of thousands of frames takes a fraction of
// it, damaged tables that would loop are cut off by it.
constexpr std::uint64_t MaxReads = std::uint64_t{8} << 20;
// Frames beyond this many are left to the scan of the stack.
constexpr std::size_t MaxFrames = 16384;

// The functions of the unwinder library the tracer uses. The library's remote interface is the one whose memory,
// register and table lookups are callbacks; its table search is the routine its own remote helpers use for a table
// that lies in another address space, as ours lies behind the safe read.
using TInitRemote = int (*)(unw_cursor_t*, unw_addr_space_t, void*);
using TStep = int (*)(unw_cursor_t*);
using TGetRegister = int (*)(unw_cursor_t*, int, unw_word_t*);
using TSearchTable = int (*)(unw_addr_space_t, unw_word_t, unw_dyn_info_t*, unw_proc_info_t*, int, void*);
using TCreateSpace = unw_addr_space_t (*)(unw_accessors_t*, int);
using TSetCaching = int (*)(unw_addr_space_t, unw_caching_policy_t);

struct TUnwindLibrary {
    unw_addr_space_t Space = nullptr;
    TInitRemote InitRemote = nullptr;
    TStep Step = nullptr;
    TGetRegister GetRegister = nullptr;
    TSearchTable SearchTable = nullptr;
};

TUnwindLibrary Library;

TStackUnwinder& Session(void* Argument) {
    return *static_cast<TStackUnwinder*>(Argument);
}

int FindProcInfo(unw_addr_space_t Space, unw_word_t Ip, unw_proc_info_t* Info, int NeedUnwindInfo, void* Argument) {
    if (Argument == nullptr)
        return -UNW_ENOINFO;
    const TTraceModule* Module = nullptr;
    if (!Session(Argument).TableOf(static_cast<std::uintptr_t>(Ip), Module)) {
        Session(Argument).NoteMissingEntry();
        return -UNW_ENOINFO;
    }
    unw_dyn_info_t Table{};
    Table.format = UNW_INFO_FORMAT_REMOTE_TABLE;
    Table.start_ip = Module->CodeStart;
    Table.end_ip = Module->CodeEnd;
    Table.u.rti.segbase = Module->UnwindHeader;
    Table.u.rti.table_data = Module->UnwindTable;
    Table.u.rti.table_len = Module->UnwindCount * 8 / sizeof(unw_word_t);
    const int Result = Library.SearchTable(Space, Ip, &Table, Info, NeedUnwindInfo, Argument);
    if (Result < 0)
        Session(Argument).NoteMissingEntry();
    return Result;
}

// The table search keeps what it hands out in memory of its own and takes it back itself.
void PutUnwindInfo(unw_addr_space_t, unw_proc_info_t*, void*) {}

int GetDynamicInfoList(unw_addr_space_t, unw_word_t*, void*) {
    return -UNW_ENOINFO; // no code is registered with the unwinder at run time
}

int AccessMemory(unw_addr_space_t, unw_word_t Address, unw_word_t* Value, int Write, void* Argument) {
    std::uint64_t Word = 0;
    if (Write != 0 || Argument == nullptr || !Session(Argument).ReadWord(static_cast<std::uintptr_t>(Address), Word))
        return -UNW_EINVAL;
    *Value = Word;
    return 0;
}

int AccessRegister(unw_addr_space_t, unw_regnum_t Register, unw_word_t* Value, int Write, void* Argument) {
    std::uint64_t Word = 0;
    if (Write != 0)
        return -UNW_EREADONLYREG;
    if (Argument == nullptr || !Session(Argument).ReadRegister(Register, Word))
        return -UNW_EBADREG;
    *Value = Word;
    return 0;
}

int AccessFloatRegister(unw_addr_space_t, unw_regnum_t, unw_fpreg_t*, int, void*) {
    return -UNW_EBADREG;
}

int Resume(unw_addr_space_t, unw_cursor_t*, void*) {
    return -UNW_EINVAL;
}

int ProcedureName(unw_addr_space_t, unw_word_t, char*, std::size_t, unw_word_t*, void*) {
    return -UNW_ENOINFO;
}

// Loaded once at start-up, before any report: the report path must not call the loader. The library goes into a
// scope of its own, so that the C++ runtime's unwinding routines (which the library also defines) stay the C
// runtime's for the rest of the program.
__attribute__((constructor(101))) void LoadUnwindLibrary() {
    void* Handle = dlopen("libunwind-x86_64.so.8", RTLD_NOW | RTLD_LOCAL);
    if (Handle == nullptr)
        return;
    auto Symbol = [Handle](const char* Name) { return dlsym(Handle, Name); };
    const auto Create = reinterpret_cast<TCreateSpace>(Symbol("_Ux86_64_create_addr_space"));
    const auto SetCaching = reinterpret_cast<TSetCaching>(Symbol("_Ux86_64_set_caching_policy"));
    TUnwindLibrary Loaded;
    Loaded.InitRemote = reinterpret_cast<TInitRemote>(Symbol("_Ux86_64_init_remote"));
    Loaded.Step = reinterpret_cast<TStep>(Symbol("_Ux86_64_step"));
    Loaded.GetRegister = reinterpret_cast<TGetRegister>(Symbol("_Ux86_64_get_reg"));
    Loaded.SearchTable = reinterpret_cast<TSearchTable>(Symbol("_Ux86_64_dwarf_search_unwind_table"));
    if (Create == nullptr || SetCaching == nullptr || Loaded.InitRemote == nullptr || Loaded.Step == nullptr ||
        Loaded.GetRegister == nullptr || Loaded.SearchTable == nullptr)
        return;
    static unw_accessors_t Accessors{};
    Accessors.find_proc_info = &FindProcInfo;
    Accessors.put_unwind_info = &PutUnwindInfo;
    Accessors.get_dyn_info_list_addr = &GetDynamicInfoList;
    Accessors.access_mem = &AccessMemory;
    Accessors.access_reg = &AccessRegister;
    Accessors.access_fpreg = &AccessFloatRegister;
    Accessors.resume = &Resume;
    Accessors.get_proc_name = &ProcedureName;
    Loaded.Space = Create(&Accessors, 0);
    // Without a cache the library keeps nothing between steps: modules come and go between traces, and no lock of
    // a cache is ever taken.
    if (Loaded.Space == nullptr || SetCaching(Loaded.Space, UNW_CACHE_NONE) != 0)
        return;
    // The library sets itself up on its first cursor (its pools, its own checks of memory): here, not on the report
    // path. A cursor without a thread to read fails once that is done.
    unw_cursor_t Cursor;
    Loaded.InitRemote(&Cursor, Loaded.Space, nullptr);
    Library = Loaded;
}

// The kernel's signal frame keeps the registers in this order (REG_R8 ... REG_RIP); the unwinder numbers them as DWARF
// does.
int SignalFrameIndex(int Register) noexcept {
    switch (Register) {
    case UNW_X86_64_RAX:
        return REG_RAX;
    case UNW_X86_64_RDX:
        return REG_RDX;
    case UNW_X86_64_RCX:
        return REG_RCX;
    case UNW_X86_64_RBX:
        return REG_RBX;
    case UNW_X86_64_RSI:
        return REG_RSI;
    case UNW_X86_64_RDI:
        return REG_RDI;
    case UNW_X86_64_RBP:
        return REG_RBP;
    case UNW_X86_64_RSP:
        return REG_RSP;
    case UNW_X86_64_RIP:
        return REG_RIP;
    default:
        return Register >= UNW_X86_64_R8 && Register <= UNW_X86_64_R15 ? REG_R8 + (Register - UNW_X86_64_R8) : -1;
    }
}

constexpr std::uint8_t SignalReturnCode[] = {0x48, 0xC7, 0xC0, 0x0F, 0x00, 0x00, 0x00, 0x0F, 0x05};

} // namespace

bool IsSignalReturn(std::uintptr_t Address) noexcept {
    std::uint8_t Code[sizeof SignalReturnCode];
    return KroSafeRead(Address, Code, sizeof Code) && std::memcmp(Code, SignalReturnCode, sizeof Code) == 0;
}

void TStackUnwinder::ReadStackFrom(std::uintptr_t Begin, std::uintptr_t End, const std::uint64_t* Copy) noexcept {
    StackBegin = Begin;
    StackEnd = End;
    Stack = Copy;
}

bool TStackUnwinder::Available() noexcept {
    return Library.Space != nullptr;
}

bool TStackUnwinder::ReadWord(std::uintptr_t Address, std::uint64_t& Value) noexcept {
    if (ReadsLeft == 0 || Address + 8 < Address)
        return false;
    --ReadsLeft;
    if (Address >= StackBegin && Address + 8 <= StackEnd) {
        std::memcpy(&Value, reinterpret_cast<const char*>(Stack) + (Address - StackBegin), sizeof Value);
        return true;
    }
    const std::uintptr_t Base = Address & ~std::uintptr_t{LineBytes - 1};
    if (Address + 8 > Base + LineBytes)
        return KroSafeRead(Address, &Value, sizeof Value);
    std::size_t Line = 0;
    while (Line < CacheLines && !(CacheValid[Line] && CacheBase[Line] == Base))
        ++Line;
    if (Line == CacheLines) {
        // A line never crosses a page: one that cannot be read whole holds nothing readable.
        Line = NextLine;
        NextLine = (NextLine + 1) % CacheLines;
        CacheValid[Line] = KroSafeRead(Base, Cache[Line], LineBytes);
        CacheBase[Line] = Base;
        if (!CacheValid[Line])
            return false;
    }
    std::memcpy(&Value, Cache[Line] + (Address - Base), sizeof Value);
    return true;
}

bool TStackUnwinder::ReadRegister(int Register, std::uint64_t& Value) const noexcept {
    if (Register == UNW_X86_64_RIP) {
        // A return address stands for the call before it: its last byte finds the caller's unwind entry even when
        // the call is the function's last instruction.
        Value = Registers.InstructionPointer - (Registers.ReturnAddress ? 1 : 0);
        return true;
    }
    if (Register == UNW_X86_64_RSP) {
        Value = Registers.StackPointer;
        return true;
    }
    if (Register == UNW_X86_64_RBP && Registers.HasFramePointer) {
        Value = Registers.FramePointer;
        return true;
    }
    const int Index = SignalFrameIndex(Register);
    if (Registers.General == nullptr || Index < 0)
        return false;
    Value = Registers.General[Index];
    return true;
}

bool TStackUnwinder::TableOf(std::uintptr_t Address, const TTraceModule*& Module) {
    const std::int32_t Index = Modules.CodeModule(Address);
    if (Index < 0 || Modules[Index].UnwindHeader == 0)
        return false;
    Module = &Modules[Index];
    return true;
}

bool TStackUnwinder::EntryOf(std::uintptr_t Address, std::uintptr_t& Start, std::uintptr_t& End) {
    if (!Available())
        return false;
    if (!Unwinding)
        ReadsLeft = MaxReads;
    unw_proc_info_t Info{};
    if (FindProcInfo(Library.Space, Address, &Info, 0, this) < 0 || Info.start_ip > Address || Info.end_ip <= Address)
        return false;
    Start = static_cast<std::uintptr_t>(Info.start_ip);
    End = static_cast<std::uintptr_t>(Info.end_ip);
    return true;
}

void TStackUnwinder::Unwind(const TUnwindStart& Start, TUnwound& Result) {
    Result = TUnwound{};
    TUnwoundFrame First;
    First.Address = Start.InstructionPointer;
    First.AtInstruction = !Start.ReturnAddress;
    Result.Frames.push_back(First);
    Result.Covered = Start.StackPointer;
    Result.FramePointer = Start.FramePointer;
    Result.HasFramePointer = Start.HasFramePointer;
    if (!Available() || Start.StackPointer == 0 || Start.InstructionPointer <= 1)
        return;
    Registers = Start;
    ReadsLeft = MaxReads;
    Unwinding = true;
    struct TUnwinding {
        bool& Flag;
        ~TUnwinding() { Flag = false; }
    } During{Unwinding};
    unw_cursor_t Cursor;
    if (Library.InitRemote(&Cursor, Library.Space, this) < 0)
        return;
    std::uintptr_t Stack = Start.StackPointer;
    for (;;) {
        TUnwoundFrame& Current = Result.Frames.back();
        // Where the frame's code stands: a return address stands for the call before it.
        const std::uintptr_t Lookup = Current.AtInstruction ? Current.Address : Current.Address - 1;
        std::uintptr_t EntryStart = 0, EntryEnd = 0;
        if (!EntryOf(Lookup, EntryStart, EntryEnd) || Result.Frames.size() >= MaxFrames)
            return;
        Current.FunctionStart = EntryStart;
        const bool SignalReturn = !Current.AtInstruction && IsSignalReturn(Current.Address);
        Current.SignalReturn = SignalReturn;
        const std::uint64_t MissingBefore = MissingEntries;
        const int Stepped = Library.Step(&Cursor);
        if (Stepped == 0) {
            // The outermost frame: its return address is undefined (the program's or the thread's start).
            Result.ReachedEnd = true;
            Result.Covered = StackEnd;
            return;
        }
        unw_word_t Ip = 0, Sp = 0, Bp = 0;
        // A step the tables did not make (the library's guesses for code without them) ends the walk here.
        if (Stepped < 0 || MissingEntries != MissingBefore || Library.GetRegister(&Cursor, UNW_REG_IP, &Ip) < 0 ||
            Library.GetRegister(&Cursor, UNW_REG_SP, &Sp) < 0)
            return;
        if (Ip == 0) {
            Result.ReachedEnd = true;
            Result.Covered = StackEnd;
            return;
        }
        // Each caller's frame lies above its callee's, inside the stack.
        if (Sp <= Stack || Sp > StackEnd)
            return;
        TUnwoundFrame Next;
        Next.Address = static_cast<std::uintptr_t>(Ip);
        Next.AtInstruction = SignalReturn;
        std::uint64_t Stored = 0;
        if (!SignalReturn && ReadWord(static_cast<std::uintptr_t>(Sp) - 8, Stored) && Stored == Ip)
            Next.Slot = static_cast<std::uintptr_t>(Sp) - 8;
        Stack = static_cast<std::uintptr_t>(Sp);
        Result.Frames.push_back(Next);
        Result.Covered = Stack;
        Result.HasFramePointer = Library.GetRegister(&Cursor, UNW_X86_64_RBP, &Bp) >= 0;
        Result.FramePointer = Result.HasFramePointer ? static_cast<std::uintptr_t>(Bp) : 0;
    }
}
