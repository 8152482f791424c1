// Names the Closure Compiler must leave alone in the page's script. The test page's Asyncify,
// which the page itself does not link:
var Asyncify;
// Browser names newer than the compiler's own list, which it would otherwise rename:
/** @type {number} */ TextMetrics.prototype.fontBoundingBoxAscent;
/** @type {number} */ TextMetrics.prototype.fontBoundingBoxDescent;
/** @param {...(Node|string)} nodes */ Element.prototype.replaceChildren = function(nodes) {};
