// The program's string resources, loaded by number.
#pragma once

#include <QString>

// 100: the ring page's caption; 200: the ring topology-change event; 300:
// the ring's caption on the banners. An unknown number gives an empty text.
QString LoadStringResource(int id);
