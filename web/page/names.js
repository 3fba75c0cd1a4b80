// Picture names as the page keeps them: to one folder, and the filter a typed name goes
// with.
// A name safe in the program's folder of pictures: no folders, no NULs, not too long.
export const safeName = (name) => String(name).replace(/[\/\\\u0000]/g, "_").slice(0, 200) || "untitled.bmp";
// The filter a typed name goes with: its extension's (a typed extension decides the
// format whatever the filter); otherwise the one shown stays.
export const filterOfName = (name, shown) => (/\.bmp$/i.test(name) ? 1 : /\.png$/i.test(name) ? 3
                                              : /\.jpe?g$/i.test(name) ? 4 : shown);
