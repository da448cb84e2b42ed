// The device layer registers its classes when it is loaded, superclasses first.
#pragma once

namespace vorla::device {

void registerRootClasses();
void registerValueClasses();
void registerCollectionClasses();
void registerColourClasses();
void registerPreferencesClass();

}  // namespace vorla::device
