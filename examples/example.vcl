// A few calculations: run them all with Ctrl+Shift+= in the desktop program,
// or with "tevra examples/example.vcl" on the command line.
2+3*4;
sqrt(2);
sin(pi/6);
5! -> Mem[fact];
Mem[fact]/4;
sum(i,1,100,i);
ln(1000!);
