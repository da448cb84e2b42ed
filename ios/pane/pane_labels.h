// The titles the settings pane shows beside its controls, made from the catalogue's own
// descriptions, so that a key the library gains is titled without anyone writing a title.
#pragma once

#include <string>
#include <vector>

#include "tools/common/key_catalogue.h"

namespace vorla::pane {

// The keys of `key`'s app, switches of the load sequence aside, that `key`'s meaning names, in
// the order it first names them: the values a switch applies ("home indicator height set to
// sliderKeya"). The pane shows them right after the switch, and the switch's title says
// "below" where its meaning says their names, which mean nothing to a person.
std::vector<const tools::KeyInfo*> valuesNamedBy(const tools::KeyInfo& key,
                                                 const std::vector<tools::KeyInfo>& catalogue);

// A short title for `key`'s row: the first clause of its meaning, capitalised, without a leading
// article, and with the values it names said to be below. A settings-file key's own meaning
// names the hooks that read it, which says nothing to a person, so its title comes from what its
// app's enable key says about it ("Colour of Phone keypad buttons").
std::string rowTitle(const tools::KeyInfo& key, const std::vector<tools::KeyInfo>& catalogue);

}  // namespace vorla::pane
