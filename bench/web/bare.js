// The floor for the web page: the same picture drawn on a canvas of the same size.
const img = new Image();
img.src = 'background.png';
img.decode().then(() => requestAnimationFrame(() => {
  document.querySelector('canvas').getContext('2d').drawImage(img, 0, 0);
  performance.mark('bare-first-frame');
}));
