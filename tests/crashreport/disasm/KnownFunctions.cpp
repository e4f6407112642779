#include "KnownFunctions.h"

#include <map>

// Functions written out instruction by instruction, so that their bytes do not depend on the compiler's options:
// the analysis and the listing tests know exactly what they hold. They sit in a section of their own, which the
// test program is linked to place at 0x10000000 (their jump tables and texts at 0x10100000), and are only read,
// never run.
asm(R"(
    .pushsection .kroknown, "ax", @progbits
    .intel_syntax noprefix

    # A switch as position-independent code compiles it: the index is checked against the highest case, the
    # table holds offsets relative to its own start.
    .globl KroKnownSwitch
    .type KroKnownSwitch, @function
KroKnownSwitch:
    endbr64
    cmp edi, 4
    ja .Lswitch_default
    lea rdx, [rip + KroKnownSwitchTable]
    movsxd rax, dword ptr [rdx + rdi*4]
    add rax, rdx
    notrack jmp rax
.Lswitch_case0:
    mov eax, 10
    ret
.Lswitch_case1:
    mov eax, 11
    ret
.Lswitch_case2:
    push rbx
    .globl KroKnownSwitchCall
KroKnownSwitchCall:
    call KroKnownHelper
    pop rbx
    add eax, 1
    ret
.Lswitch_case3:
    lea rax, [rip + KroKnownText]
    ret
.Lswitch_case4:
    nop dword ptr [rax + rax*1 + 0]
    jmp .Lswitch_case0
.Lswitch_default:
    xor eax, eax
    ret
    .size KroKnownSwitch, . - KroKnownSwitch

    .p2align 4
    .globl KroKnownHelper
    .type KroKnownHelper, @function
KroKnownHelper:
    mov eax, 42
    ret
    .size KroKnownHelper, . - KroKnownHelper

    # The same switch without position independence: a table of absolute addresses, indexed in the jump.
    .p2align 4
    .globl KroKnownAbsoluteSwitch
    .type KroKnownAbsoluteSwitch, @function
KroKnownAbsoluteSwitch:
    cmp edi, 2
    ja .Labsolute_default
    mov edi, edi
    jmp qword ptr [rdi*8 + KroKnownAbsoluteTable]
.Labsolute_case0:
    mov eax, 1
    ret
.Labsolute_case1:
    mov eax, 2
    ret
.Labsolute_case2:
    mov eax, 3
    ret
.Labsolute_default:
    mov eax, -1
    ret
    .size KroKnownAbsoluteSwitch, . - KroKnownAbsoluteSwitch

    # A switch as unoptimised code compiles it: the value lives on the stack, the compare is against memory.
    .p2align 4
    .globl KroKnownStackSwitch
    .type KroKnownStackSwitch, @function
KroKnownStackSwitch:
    push rbp
    mov rbp, rsp
    mov dword ptr [rbp - 0x14], edi
    cmp dword ptr [rbp - 0x14], 3
    ja .Lstack_default
    mov eax, dword ptr [rbp - 0x14]
    lea rdx, [rax*4]
    lea rax, [rip + KroKnownStackTable]
    mov eax, dword ptr [rdx + rax]
    cdqe
    lea rdx, [rip + KroKnownStackTable]
    add rax, rdx
    jmp rax
.Lstack_case0:
    mov eax, 5
    jmp .Lstack_done
.Lstack_case1:
    mov eax, 6
    jmp .Lstack_done
.Lstack_case2:
    mov eax, 7
    jmp .Lstack_done
.Lstack_case3:
    mov eax, 8
    jmp .Lstack_done
.Lstack_default:
    mov eax, 0
.Lstack_done:
    pop rbp
    ret
    .size KroKnownStackSwitch, . - KroKnownStackSwitch

    # Landing pads, multi-byte nops and prefetch hints in the middle of a function.
    .p2align 4
    .globl KroKnownHints
    .type KroKnownHints, @function
KroKnownHints:
    endbr64
    nop dword ptr [rax]
    test edi, edi
    .byte 0x0f, 0x19, 0xc0
    .byte 0x0f, 0x1e, 0xc8
    prefetcht0 byte ptr [rdi]
    .byte 0x66, 0x0f, 0x1f, 0x84, 0x00, 0x00, 0x00, 0x00, 0x00
    jz .Lhints_zero
    .byte 0x0f, 0x1d, 0x00
    mov eax, 1
    ret
.Lhints_zero:
    xor eax, eax
    ret
    .size KroKnownHints, . - KroKnownHints

    # Calls through registers loaded with known addresses, and through a pointer cell.
    .p2align 4
    .globl KroKnownIndirect
    .type KroKnownIndirect, @function
KroKnownIndirect:
    push rbx
    lea rax, [rip + KroKnownHelper]
    call rax
    mov rbx, qword ptr [rip + KroKnownPointer]
    call rbx
    call qword ptr [rip + KroKnownPointer]
    mov ecx, offset KroKnownHints
    call rcx
    pop rbx
    jmp KroKnownHelper
    .size KroKnownIndirect, . - KroKnownIndirect

    # A switch over a byte, as a uint8_t-based enum compiles: only the low byte is compared, and movzx widens it
    # before it indexes the table.
    .p2align 4
    .globl KroKnownByteSwitch
    .type KroKnownByteSwitch, @function
KroKnownByteSwitch:
    cmp dil, 3
    ja .Lbyte_default
    movzx edi, dil
    lea rdx, [rip + KroKnownByteTable]
    movsxd rax, dword ptr [rdx + rdi*4]
    add rax, rdx
    jmp rax
.Lbyte_case0:
    mov eax, 20
    ret
.Lbyte_case1:
    mov eax, 21
    ret
.Lbyte_case2:
    mov eax, 22
    ret
.Lbyte_case3:
    mov eax, 23
    ret
.Lbyte_default:
    xor eax, eax
    ret
    .size KroKnownByteSwitch, . - KroKnownByteSwitch

    # The same switch unoptimised: the byte lives on the stack, is compared there and zero-extended from there.
    .p2align 4
    .globl KroKnownByteStackSwitch
    .type KroKnownByteStackSwitch, @function
KroKnownByteStackSwitch:
    push rbp
    mov rbp, rsp
    mov byte ptr [rbp - 0x5c], dil
    cmp byte ptr [rbp - 0x5c], 2
    ja .Lbytestack_default
    movzx eax, byte ptr [rbp - 0x5c]
    lea rdx, [rax*4]
    lea rax, [rip + KroKnownByteStackTable]
    mov eax, dword ptr [rdx + rax]
    cdqe
    lea rdx, [rip + KroKnownByteStackTable]
    add rax, rdx
    jmp rax
.Lbytestack_case0:
    mov eax, 30
    jmp .Lbytestack_done
.Lbytestack_case1:
    mov eax, 31
    jmp .Lbytestack_done
.Lbytestack_case2:
    mov eax, 32
    jmp .Lbytestack_done
.Lbytestack_default:
    mov eax, 0
.Lbytestack_done:
    pop rbp
    ret
    .size KroKnownByteStackSwitch, . - KroKnownByteStackSwitch

    # Not a switch the analysis may follow: the low byte is bounded, but the whole register indexes the table,
    # so any entry past the compared ones could be read.
    .p2align 4
    .globl KroKnownUnwidenedByte
    .type KroKnownUnwidenedByte, @function
KroKnownUnwidenedByte:
    cmp dil, 3
    ja .Lunwidened_default
    lea rdx, [rip + KroKnownByteTable]
    movsxd rax, dword ptr [rdx + rdi*4]
    add rax, rdx
    jmp rax
.Lunwidened_default:
    xor eax, eax
    ret
    .size KroKnownUnwidenedByte, . - KroKnownUnwidenedByte

    .pushsection .kroknowndata, "a", @progbits
    .p2align 3
KroKnownSwitchTable:
    .long .Lswitch_case0 - KroKnownSwitchTable
    .long .Lswitch_case1 - KroKnownSwitchTable
    .long .Lswitch_case2 - KroKnownSwitchTable
    .long .Lswitch_case3 - KroKnownSwitchTable
    .long .Lswitch_case4 - KroKnownSwitchTable
    .p2align 3
KroKnownAbsoluteTable:
    .quad .Labsolute_case0
    .quad .Labsolute_case1
    .quad .Labsolute_case2
KroKnownStackTable:
    .long .Lstack_case0 - KroKnownStackTable
    .long .Lstack_case1 - KroKnownStackTable
    .long .Lstack_case2 - KroKnownStackTable
    .long .Lstack_case3 - KroKnownStackTable
    .globl KroKnownPointer
KroKnownPointer:
    .quad KroKnownHelper
KroKnownText:
    .asciz "Hello from a known function"
    .p2align 3
KroKnownByteTable:
    .long .Lbyte_case0 - KroKnownByteTable
    .long .Lbyte_case1 - KroKnownByteTable
    .long .Lbyte_case2 - KroKnownByteTable
    .long .Lbyte_case3 - KroKnownByteTable
KroKnownByteStackTable:
    .long .Lbytestack_case0 - KroKnownByteStackTable
    .long .Lbytestack_case1 - KroKnownByteStackTable
    .long .Lbytestack_case2 - KroKnownByteStackTable
    .popsection

    .att_syntax prefix
    .popsection
)");

namespace {

bool NameKnown(std::uint64_t Address, std::string& Name, std::string& Module) {
    static const std::map<std::uint64_t, const char*> Names = {
        {KroKnownAddress(KroKnownSwitch), "KroKnownSwitch"},
        {KroKnownAddress(KroKnownHelper), "KroKnownHelper"},
        {KroKnownAddress(KroKnownAbsoluteSwitch), "KroKnownAbsoluteSwitch"},
        {KroKnownAddress(KroKnownStackSwitch), "KroKnownStackSwitch"},
        {KroKnownAddress(KroKnownHints), "KroKnownHints"},
        {KroKnownAddress(KroKnownIndirect), "KroKnownIndirect"},
        {KroKnownAddress(KroKnownByteSwitch), "KroKnownByteSwitch"},
        {KroKnownAddress(KroKnownByteStackSwitch), "KroKnownByteStackSwitch"},
        {KroKnownAddress(KroKnownUnwidenedByte), "KroKnownUnwidenedByte"},
    };
    const auto Found = Names.find(Address);
    if (Found == Names.end())
        return false;
    Name = Found->second;
    Module.clear();
    return true;
}

} // namespace

TKnownNames::TKnownNames() {
    KroSetSymbolNameResolver(&NameKnown);
}

TKnownNames::~TKnownNames() {
    KroSetSymbolNameResolver(nullptr);
}
