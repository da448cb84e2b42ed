// The stand-in registers its classes when it is loaded, superclasses first.
#pragma once

namespace vorla::standin {

void registerRootClasses();
void registerValueClasses();
void registerCollectionClasses();
void registerColourClasses();
void registerPreferencesClass();

}  // namespace vorla::standin
