#include "hostkit/resource_module.h"

#include <algorithm>
#include <utility>

#include "forms/form.h"
#include "hostkit/host_error.h"

namespace norv::hostkit {

namespace {

// Ascending by id. 988/989 stand before " - count", 998 before " count", 984
// before a line break and a file name, 1004-1006 before ": value" in the rate
// status line; 1198 is "%0" number, "%1" date, "%2" field; 1199 "%0" what,
// "%1" value; 1200 "%0" the backup's name.
constexpr std::pair<int32_t, const char16_t*> kTexts[] = {
    {980, u"Pasirinkite aplanką"},
    {984, u"Nepavyko atidaryti failo:"},
    {985, u"Visi failai (*.*)"},
    {986, u"Pasirinkite failą"},
    {987, u"Mokėjimo pavedimų eksportas baigtas."},
    {988, u"Eksportuota vietinių mokėjimų"},
    {989, u"Eksportuota valiutinių mokėjimų"},
    {990, u"Eksportas nutrauktas, nes failų pasirinkimas buvo atšauktas."},
    {991, u"Neteisingas mokėjimo tipas: leidžiamos reikšmės yra 1, 2 ir 3."},
    {992, u"Nepavyko įrašyti eilutės į failą."},
    {993, u"Nepavyko sukurti failo."},
    {994, u"Nepavyko atidaryti failo."},
    {995, u"Nepavyko nuskaityti failo."},
    {996, u"Nepavyko uždaryti failo."},
    {997, u"Nepavyko importuoti banko išrašo."},
    {998, u"Įkelta valiutų kursų eilučių:"},
    {1002, u"Nurodytas aplankas nerastas."},
    {1004, u"Valiuta"},
    {1005, u"Kurso tipas"},
    {1006, u"Kursas"},
    {1196, u"Neužpildytas privalomas laukas."},
    {1197, u"Reikšmė per ilga šiam laukui."},
    {1198, u"Dokumento Nr. %0 (data %1) laukas „%2“"},
    {1199, u"%0: „%1“"},
    {1200,
     u"Eksportas nutrauktas dėl klaidos. Jau įrašyti failai išsaugoti kaip atsarginės kopijos: %0"},
    {1203, u"Neteisingas lauko formatas."},
    {1220,
     u"Nepasirinktas nė vienas kurso tipas. Pasirinkite kurso tipą bent vienai kursų skilčiai."},
    {4000, u"Išrašų importas"},
    {4001, u" Importuoti iš :"},
    {4002, u"Kliento-banko eksportas"},
    {4003, u" Eksportuoti į : "},
    {4004, u"Valiutiniai mokėjimai : "},
    {4005, u"Vietiniai mokėjimai : "},
    {4006, u"Kelias : "},
    {4008, u" Kurso tipai : "},
    {4009, u"Pardavimas sąskaitoje : "},
    {4010, u"Pirkimas sąskaitoje : "},
    {4011, u"Pardavimas grynais : "},
    {4012, u"Pirkimas grynais : "},
    {4013, u"Buhalterinis kursas : "},
    {4014, u" Importuoti iš : "},
    {4016, u"Čekių supirkimo : "},
    {4017, u"Valiutų kursų importas"},
    {4026, u"Formuoti dokumentus pagal kreditinę išrašo dalį"},
};

// The id of a caption marker "#NNNN", or -1 when `caption` is no marker.
int32_t MarkerId(const std::u16string& caption) {
  if (caption.size() < 2 || caption.size() > 10 || caption[0] != u'#') return -1;
  int32_t id = 0;
  for (size_t i = 1; i < caption.size(); ++i) {
    if (caption[i] < u'0' || caption[i] > u'9') return -1;
    id = id * 10 + (caption[i] - u'0');
  }
  return id;
}

}  // namespace

std::u16string NorvFormResText(int32_t id) {
  auto it = std::lower_bound(std::begin(kTexts), std::end(kTexts), id,
                             [](const auto& entry, int32_t key) { return entry.first < key; });
  if (it == std::end(kTexts) || it->first != id) return u"";
  return it->second;
}

std::vector<int32_t> NorvFormResIds() {
  std::vector<int32_t> ids;
  for (const auto& entry : kTexts) ids.push_back(entry.first);
  return ids;
}

void ResourceModuleService::UseResourceModule(const std::u16string& module_name) {
  if (module_name != kNorvFormRes) {
    RaiseHostError(kErrFileNotFound, u"DefaultHost.ResourceService",
                   u"the resource module '" + module_name + u"' is not installed");
  }
  module_ = module_name;
}

std::u16string ResourceModuleService::LoadText(int32_t id) { return NorvFormResText(id); }

void ResourceModuleService::LocalizeForm(forms::Form& form) {
  auto localized = [](const std::u16string& caption, std::u16string& text) {
    int32_t id = MarkerId(caption);
    if (id < 0) return false;
    text = NorvFormResText(id);
    return !text.empty();
  };
  std::u16string text;
  if (localized(form.Caption(), text)) form.SetCaption(text);
  for (const auto& control : form.Controls()) {
    if (localized(control->Caption(), text)) control->SetCaption(text);
  }
}

}  // namespace norv::hostkit
