// Every resource of the module pinned, one checksum a resource: of its
// bytes and language, and of everything the reader makes of them (each
// field of a template, a value entry, a message map, a tab list, a grid
// column, every string).  The resources are exact copies of the module's
// own; each value was checked against its definition, one by one, when the
// pins were taken.  A changed letter in a caption, a length or offset in a
// CENTRY, a flag of a grid column, a string's text, a macro of the resource
// scripts that lays a field out wrongly, or a reader that takes a field from
// the wrong place: each fails here and names the resource.
//
// When a resource is changed on purpose, check the new values against the
// dialog's definition, then take the new pins from the failure's message.
#include <gtest/gtest.h>

#include <iomanip>
#include <map>
#include <sstream>
#include <string>

#include "tests/support/res_fixture.h"

namespace vx70::test {
namespace {

using res::Resource;

// Type letter, identifier, checksum: D template, E DENTRY, C CENTRY,
// M MENTRY, T TENTRY, G GRID, B GRIDBITMAP, S string block, P bitmap.
constexpr const char* kPins = R"(
B1011=3a547a34 C1000=1dd81866 C1001=15e02654 C1002=2605f4a2 C1003=00b5063f C1004=79721485
C1005=c8a3e389 C1006=f7c50824 C1007=48c6846d C1008=a195f05d C1009=a97e27b0 C1010=087f71e4
C1011=2c950833 C1012=c03a38d2 C1013=d9f5329c C1014=31dcc2a0 C1015=fe86dee2 C1016=d5062aec
C1017=7359402d C1018=bf65704a C1019=6d4ace79 C1020=d89d9492 C1021=ac9c306e C1022=867dad28
C1023=ff01c263 C1024=0165a2e3 C1025=a0424c73 C1026=25bb4b18 C1027=0e4fdf50 C1028=99dd69be
C1030=c9c79345 C1032=a3835af5 C1033=f5717cf5 C1034=d6a66515 C1035=7e440780 C1036=b8111366
C1040=8ee6405c C1041=0633d638 C1042=93af28e2 C1043=35b68101 C1044=1472cf83 C1045=61a25562
C1046=7b59d1db C1047=13ffd7e2 C1048=af63c8b0 C1049=aa332314 D901=beb82d56 D3214=68e891e5
D3215=6ac065ce D3216=f3b746f4 D3217=c48c7c4e D3218=5232fc47 D3219=5128e698 D3223=ff821e09
D3224=af7554a4 D3600=19527928 D3601=2df6c2e3 D3602=9915d925 D3603=f0444189 D3604=17e1ce34
D3605=a588b6b1 D3606=fe810108 D3607=6d31608f D3608=83fee2d1 D3609=bf2cf789 D3610=9dc27d79
D3611=9ef2d91b D3612=df47d125 D3613=4eee34ce D3614=725f9c91 D3615=01a05f6f D3616=1936728c
D3617=533b9027 D3618=b94cdbc5 D3619=b48e7036 D3620=41a2f667 D3621=21dc64c0 D3622=004cf1c8
D3623=263774af D3624=6163ac1a D3625=9dc27d79 D3626=ad665c54 D3627=9bceeefe D3629=8226e2a0
D3630=ecbd6677 D3632=4deec9d3 D3633=79001d33 D3634=78c93016 D3635=b6020691 D3636=2f4cd915
D9026=df892f44 E901=488ed7ea E3214=cc34c957 E3215=afa2315f E3216=cdec2c53 E3217=6ebda78b
E3218=31b674fb E3219=edcf2ecf E3223=c0305063 E3224=b9211de5 E3600=6f423652 E3601=681c6fde
E3602=9cf22a34 E3603=65179882 E3604=4471df14 E3605=33f36111 E3606=39355b7f E3607=f5b6d08e
E3608=232a2764 E3609=b22c683e E3610=06887b6a E3611=4b336a94 E3612=bc7ba7ae E3613=6655c5dc
E3614=31f267fa E3615=aa14514c E3616=fe6aad06 E3617=a03da21e E3618=3fdffa74 E3619=371b3226
E3620=b97affa4 E3621=416aab2c E3622=25ea1e78 E3623=a1797d1c E3624=f4016d06 E3625=66a40110
E3626=feb61f9e E3627=12caaa0e E3628=edebbebc E3629=878e26ff E3630=9f5da564 E3632=2b595a86
E3633=622de754 E3634=e212a6a8 E3635=18c3b65a E3636=c6d1ed1e E9026=833fb098 G101=f95c72e6
G1000=a5317811 G1002=03c6264f G1003=2609c36c G1004=090edf3f G1005=a02d935e G1006=29494883
G1007=7362e833 G1008=16cd1e07 G1009=28a378bc G1010=56f3fd44 G1011=ded9699f G1012=63ea6dd0
G1013=c29207e8 G1014=43ab1de6 G1015=bf723cc0 G1046=63e2acf0 M1000=56696444 M1001=56696444
M1002=56696444 M1003=56696444 M1004=56696444 M1005=b7768d6b M1006=6d5aa92b M1007=639d753a
M1008=639d753a M1009=639d753a M1010=639d753a M1011=639d753a M1012=568f27e6 M1013=568f27e6
M1014=568f27e6 M1015=d7b49573 M1016=9a8edc28 M1017=9a8edc28 M1018=61f4e50e M1019=fd766d7e
M1020=d17b11da M1021=861c34aa M1022=4bbc4e92 M1023=68b5ed99 M1024=e05fa92a M1025=9265e4ee
M1026=fc37475f M1027=fc37475f M1028=c88aea82 M1031=07ff5a0a M1032=b14aa471 M1033=b786e5da
M1034=bd59843f M1035=7e547abe M1036=10c34bab M1037=b18261a2 M1046=d1b8cb72 M1047=ce4258fe
P1=4d1fb976 P2=ba0424de P3=ec1b6021 P4=e85db823 S1=3a82bfef S2=df2fabdb
S3=7a8f88e5 S4=43ece9ed S5=7fee92df S63=2054ca61 S64=35acc91c S65=116c2cb3
S66=de39be3f S67=b08e50cf S68=6aa6ba60 S69=f840cf3c S70=864c2de0 T1000=80b46272
T1001=a295da72 T1002=bb6e4206 T1003=0ba824c5 T1004=b374c5d0 T1005=2a42eeae T1006=24dcdb3c
T1007=265f9a57
)";

template <typename... Fields>
void put(std::ostringstream& out, const Fields&... fields) {
  ((out << fields << ','), ...);
  out << '\n';
}

void describeDialog(std::ostringstream& out, std::uint16_t id) {
  const auto t = Resources().dialog(id);
  put(out, t->extended, t->helpId, t->exStyle, t->style, t->x, t->y, t->cx, t->cy, t->menu.str(),
      t->windowClass.str(), t->title, t->pointSize, t->weight, +t->italic, +t->charset, t->font);
  for (const auto& i : t->items) {
    put(out, i.helpId, i.exStyle, i.style, i.x, i.y, i.cx, i.cy, i.id, i.className, i.text,
        i.textOrdinal.value_or(0xFFFF), i.creationData.size());
  }
}

void describeCEntry(std::ostringstream& out, std::uint16_t id) {
  const auto list = Resources().centry(id);
  put(out, list->trailingZeroBytes);
  for (const auto& e : list->entries) {
    put(out, e.id, e.type, e.storage, e.length, e.link1, e.link2, e.rowsNeeded, e.startUp,
        e.reserved, e.layout);
  }
}

void describeGrid(std::ostringstream& out, std::uint16_t id) {
  const auto grid = Resources().grid(id);
  put(out, grid->spareByte, grid->rowBytes());
  for (const auto& c : grid->columns) {
    put(out, c.valueType, c.id, c.reserved, c.displayWidth, c.length, c.decimals, c.columnFlags,
        c.gridFlags, +c.style, c.editorClass, c.reservedText, c.heading);
  }
}

void describeStrings(std::ostringstream& out, std::uint16_t block) {
  for (unsigned i = 0; i < 16; ++i)
    put(out, Resources().string(static_cast<std::uint16_t>((block - 1) * 16 + i)).value_or("-"));
}

// Each type of resource: its letter in the pins, and what the reader makes
// of one (a bitmap is only its bytes).
struct Kind {
  const char* type;
  char letter;
  void (*describe)(std::ostringstream&, std::uint16_t);
};

const Kind kKinds[] = {
    {"5", 'D', describeDialog},
    {"DENTRY", 'E',
     [](std::ostringstream& out, std::uint16_t id) {
       const auto d = Resources().dentry(id);
       put(out, d->centry, d->mentry, d->tentry, d->displayWord, d->flags, d->reserved);
     }},
    {"CENTRY", 'C', describeCEntry},
    {"MENTRY", 'M',
     [](std::ostringstream& out, std::uint16_t id) {
       const auto map = Resources().mentry(id);
       for (const auto& m : *map) put(out, m.message, m.reserved, m.ordinal);
     }},
    {"TENTRY", 'T',
     [](std::ostringstream& out, std::uint16_t id) {
       const auto pages = Resources().tentry(id);
       for (const auto& t : *pages) put(out, t.dialog, t.module);
     }},
    {"GRID", 'G', describeGrid},
    {"GRIDBITMAP", 'B',
     [](std::ostringstream& out, std::uint16_t id) {
       const auto words = Resources().gridBitmap(id);
       for (std::uint16_t w : *words) put(out, w);
     }},
    {"6", 'S', describeStrings},
    {"2", 'P', [](std::ostringstream&, std::uint16_t) {}},
};

// A type no kind names gets the letter '?' and fails as new.
const Kind& kindOf(const Resource& r) {
  static const Kind unknown{"", '?', [](std::ostringstream&, std::uint16_t) {}};
  for (const Kind& k : kKinds)
    if (r.type.str() == k.type) return k;
  return unknown;
}

// FNV-1a, 32 bits: enough to tell a changed resource from its pin.
std::uint32_t checksum(std::uint32_t hash, std::string_view bytes) {
  for (unsigned char c : bytes) hash = (hash ^ c) * 16777619u;
  return hash;
}

// Pins by type letter and identifier, as the table lists them.
using Pins = std::map<std::pair<char, unsigned>, std::string>;

Pins pinsNow() {
  Pins pins;
  for (const Resource& r : Resources().file().all()) {
    if (r.type.str() == "0") continue;  // the empty header every .res begins with
    const Kind& kind = kindOf(r);
    std::ostringstream described;
    kind.describe(described, r.name.ordinal);
    std::uint32_t hash = checksum(2166136261u, std::to_string(r.language) + ';' + described.str());
    hash = checksum(hash, {reinterpret_cast<const char*>(r.data.data()), r.data.size()});
    char pin[9];
    std::snprintf(pin, sizeof pin, "%08x", hash);
    pins[{kind.letter, r.name.ordinal}] = pin;
  }
  return pins;
}

Pins pinsTaken() {
  Pins pins;
  std::istringstream in(kPins);
  char letter, equals;
  unsigned id;
  std::string pin;
  while (in >> letter >> id >> equals >> std::setw(8) >> pin) pins[{letter, id}] = pin;
  return pins;
}

std::string nameOf(const Pins::key_type& key) { return key.first + std::to_string(key.second); }

std::string asTable(const Pins& pins) {
  std::string table;
  int onLine = 0;
  for (const auto& [key, pin] : pins)
    table += nameOf(key) + '=' + pin + (++onLine % 6 ? " " : "\n");
  return table;
}

TEST(ResourcePins, EveryResourceAsPinned) {
  const Pins now = pinsNow();
  const Pins taken = pinsTaken();
  for (const auto& [key, pin] : taken) {
    const auto found = now.find(key);
    if (found == now.end())
      ADD_FAILURE() << nameOf(key) << " is gone";
    else
      EXPECT_EQ(found->second, pin) << nameOf(key) << " has changed";
  }
  for (const auto& [key, pin] : now) EXPECT_TRUE(taken.count(key)) << nameOf(key) << " is new";
  if (HasFailure()) std::printf("The pins as the resources stand:\n%s\n", asTable(now).c_str());
}

}  // namespace
}  // namespace vx70::test
