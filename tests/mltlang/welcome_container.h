#pragma once
// The welcome page's translation container as the design lays it out, byte by byte: two
// TCIStr items (the page caption and Button2's caption, texts in languages 0 and 2 of
// nine) and the common nine-language list. The component handle of a stored item is
// stale; the writer stores 0 for an item bound to nothing.

#include "stream_bytes.h"

namespace mltlang_test {

inline Bytes cancelItemBytes(std::int32_t handle) {
    ByteBuilder b;
    b.className("TCIStr").word(100).word(handle).counted("Caption").counted("Button2").word(1).word(
        1);
    b.word(100).word(9).counted("Cancel").counted("").counted("Afbreken");
    for (int i = 0; i < 6; ++i) b.counted("");
    return b;
}

inline Bytes welcomeContainerBytes() {
    ByteBuilder b;
    b.hex("01 02 00");
    b.className("TCIStr").word(100).word(0).counted("Caption").counted("isForm1").word(-1).word(1);
    b.word(100).word(9).counted("Welcome to the Quindor installation program").counted("");
    b.counted("Welkom bij de Marlo installatie...");
    for (int i = 0; i < 6; ++i) b.counted("");
    b.bytes(cancelItemBytes(0));
    b.hex("01 09 00");
    for (int id : {0x07, 0x0A, 0x06, 0x09, 0x12, 0x04, 0x16, 0x05, 0x15})
        b.className("TLngId").word(id);
    return b;
}

}  // namespace mltlang_test
